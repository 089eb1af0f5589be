package jp.example.hyouji;

import java.util.*;

/**
 * 表示クラス。マボ
 * @author 山田
 */
public class Hello extends Object implements Runnable {
    private static final int MAX = 100;
    private String m_str = "こんにちは\"世界\"";
    public static void main(String[] args) {
        char c = '\'';
        for (int i = 0; i < MAX; i++) {
            System.out.println("表" + i);   // 表示
        }
        boolean b = true && !false;
        Object o = null;
        float f = 1.5f; double d = .5;
    }
    public void run() { synchronized (this) { notify(); } }
}
