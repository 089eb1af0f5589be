// Writes morelh2.lzh and morelh3.lzh with JLHA (Debian's libjlha-java): the
// cases sample*.lzh do not reach. Their contents come from a small
// deterministic generator that the tests repeat (tests/archive/lzhcontent.h),
// so only the archives are kept. Each entry has a header of level 2 but
// random.bin (level 0) and far.bin (level 1):
//   text.txt      200,000 bytes of Shift-JIS text, CR LF lines (many
//                 blocks, the adaptive weights halved)
//   same.bin      70,000 times 'A' (the longest matches)
//   random.bin    0 to 255, then 40,000 bytes of noise and repeats of it
//                 (every byte value)
//   far.bin       8,192 bytes of noise, then its first 300 bytes again
//                 (positions at the far end of the dictionary)
//   empty.bin     nothing
//   javac -cp /usr/share/java/jlha.jar MoreFixtures.java
//   java -cp /usr/share/java/jlha.jar:. MoreFixtures
import java.io.ByteArrayOutputStream;
import java.io.FileOutputStream;
import java.util.Date;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class MoreFixtures {
    static long state;

    static int next() {
        state = (state * 1103515245L + 12345L) & 0xffffffffL;
        return (int) (state >>> 16) & 0x7fff;
    }

    // Syllables, ASCII and Shift-JIS (some with a 0x5C second byte).
    static final byte[][] SYLLABLES = {
        "in".getBytes(), "re".getBytes(), "buf".getBytes(), "0x5C".getBytes(), "{".getBytes(),
        "}".getBytes(), "val".getBytes(), "//".getBytes(), "ue".getBytes(), "st".getBytes(),
        {(byte) 0x93, (byte) 0xfa},  // 日
        {(byte) 0x96, (byte) 0x7b},  // 本
        {(byte) 0x83, (byte) 0x5c},  // ソ
        {(byte) 0x95, (byte) 0x5c},  // 表
        {(byte) 0x8e, (byte) 0x9a},  // 字
        {(byte) 0x82, (byte) 0xa0},  // あ
    };

    // Words of one to three syllables, nine to a CR LF line.
    static byte[] text(int n) {
        state = 1;
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        for (int word = 1; out.size() < n; ++word) {
            for (int k = next() % 3; k >= 0; --k) {
                byte[] s = SYLLABLES[next() % SYLLABLES.length];
                out.write(s, 0, s.length);
            }
            if (word % 9 == 0) {
                out.write('\r');
                out.write('\n');
            } else {
                out.write(' ');
            }
        }
        byte[] cut = new byte[n];
        System.arraycopy(out.toByteArray(), 0, cut, 0, n);
        return cut;
    }

    static byte[] noise(long seed, int n) {
        state = seed;
        byte[] b = new byte[n];
        for (int i = 0; i < n; ++i)
            b[i] = (byte) (next() >> 7);
        return b;
    }

    static byte[] same() {
        byte[] b = new byte[70000];
        java.util.Arrays.fill(b, (byte) 'A');
        return b;
    }

    // 0 to 255, then runs of 64 bytes that are either noise or a copy of
    // an earlier run: every byte value, and still worth compressing.
    static byte[] random() {
        byte[] b = new byte[256 + 40000];
        for (int i = 0; i < 256; ++i)
            b[i] = (byte) i;
        byte[] n = noise(2, 40000);
        for (int at = 256; at < b.length; at += 64) {
            int len = Math.min(64, b.length - at);
            if (at >= 256 + 64 && next() % 2 == 0)
                System.arraycopy(b, 256 + 64 * (next() % ((at - 256) / 64)), b, at, len);
            else
                System.arraycopy(n, at - 256, b, at, len);
        }
        return b;
    }

    static byte[] far() {
        byte[] b = new byte[8192 + 300];
        System.arraycopy(noise(3, 8192), 0, b, 0, 8192);
        System.arraycopy(b, 0, b, 8192, 300);
        return b;
    }

    public static void main(String[] args) throws Exception {
        String[] names = {"text.txt", "same.bin", "random.bin", "far.bin", "empty.bin"};
        byte[][] contents = {text(200000), same(), random(), far(), new byte[0]};
        for (String method : new String[] {"-lh2-", "-lh3-"}) {
            String archive = "more" + method.substring(1, 4) + ".lzh";
            try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(archive))) {
                for (int i = 0; i < names.length; ++i) {
                    LhaHeader header = new LhaHeader(names[i], new Date(1600000000000L));
                    header.setCompressMethod(method);
                    // random.bin and far.bin behind headers of levels 0 and 1.
                    header.setHeaderLevel(i == 2 ? 0 : i == 3 ? 1 : 2);
                    out.putNextEntry(header);
                    out.write(contents[i]);
                    out.closeEntry();
                }
            }
        }
    }
}
