// Writes one LZH archive per compression method, each holding sample.txt
// (header level 2), an empty file (level 1) and its first 5000 bytes
// (level 0), with JLHA (Debian's libjlha-java), an LZH implementation
// independent of ours and able to write the old methods.
//   javac -cp /usr/share/java/jlha.jar MakeFixtures.java
//   java -cp /usr/share/java/jlha.jar:. MakeFixtures
import java.io.FileOutputStream;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.Date;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class MakeFixtures {
    public static void main(String[] args) throws Exception {
        byte[] sample = Files.readAllBytes(Paths.get("sample.txt"));
        String[] methods = {"-lh1-", "-lh2-", "-lh3-", "-lh4-"};
        for (String method : methods) {
            String name = "sample" + method.substring(1, 4) + ".lzh";
            try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(name))) {
                LhaHeader header = new LhaHeader("sample.txt", new Date(1600000000000L));
                header.setCompressMethod(method);
                header.setHeaderLevel(2);
                out.putNextEntry(header);
                out.write(sample);
                out.closeEntry();
                LhaHeader empty = new LhaHeader("dir/empty.txt", new Date(1600000000000L));
                empty.setCompressMethod(method);
                empty.setHeaderLevel(1);
                out.putNextEntry(empty);
                out.closeEntry();
                LhaHeader part = new LhaHeader("part.txt", new Date(1600000000000L));
                part.setCompressMethod(method);
                part.setHeaderLevel(0);
                out.putNextEntry(part);
                out.write(sample, 0, 5000);
                out.closeEntry();
            }
        }
    }
}
