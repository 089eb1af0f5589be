// java -cp /usr/share/java/jlha.jar:. JlhaPack METHOD ARCHIVE FILE
// Writes FILE alone into ARCHIVE in METHOD ("-lh2-" ...) with JLHA (Debian's
// libjlha-java), for timing the old LZH methods, which nothing else writes.
import java.io.FileOutputStream;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.Date;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class JlhaPack {
    public static void main(String[] args) throws Exception {
        byte[] data = Files.readAllBytes(Paths.get(args[2]));
        try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(args[1]))) {
            LhaHeader header = new LhaHeader(Paths.get(args[2]).getFileName().toString(), new Date());
            header.setCompressMethod(args[0]);
            header.setHeaderLevel(2);
            out.putNextEntry(header);
            out.write(data);
            out.closeEntry();
        }
    }
}
