// A small site with one fault of every kind the site check knows and pages
// of every kind that must pass clean, written into a folder; and the lines
// the check must give for it. Shared by the core, tool and editor tests.
#pragma once

#include "support/testutil.h"
#include "text/codec.h"
#include "text/filecode.h"

#include <string>
#include <vector>

#include <unistd.h>

namespace sitefixture {

inline std::string Join(const std::vector<std::string> &aLines)
{
    std::string s;
    for (const std::string &strLine : aLines)
        s += strLine + "\n";
    return s;
}

inline std::string Encode(const std::string &strUtf8, ETextCode eCode)
{
    std::string out;
    EncodeFileText(Utf8ToCp932(strUtf8), eCode, CTextForms(), out);
    return out;
}

inline void Build(const std::string &strRoot)
{
    WriteFiles(strRoot, {
        // The index page, clean: every optional end tag left out, markup in a
        // comment and a script, an unquoted value, '>' inside quotes, a Japanese
        // name written plainly and %-escaped.
        {"index.html",
         Join({
             "<!DOCTYPE html>",
             "<html><head><meta charset=\"UTF-8\"><title>トップ</title>",
             "<style>body { background: url(\"images/bg.gif\") }</style>",
             "<script>document.write(\"<div><table>\");</script>",
             "</head><body>",
             "<!-- <table> in a comment -->",
             "<p>段落<p>次の段落",
             "<ul><li>一<li>二</ul>",
             "<dl><dt>語<dd>意味</dl>",
             "<table><tr><td>1<td>2<tr><td>3</table>",
             "<a href=about.html title=\"a > b\">about</a>",
             "<a href=\"about.html#team\">team</a>",
             "<a href=\"日本語.html\">日本語</a> <a href=\"%E6%97%A5%E6%9C%AC%E8%AA%9E.html\">esc</a>",
             "<img src=\"images/logo.png\" width=\"16\" height=\"8\" alt=\"\">",
             "<a href=\"sub/\">sub</a> <a href=\"#\">top</a> <a href=\"javascript:void(0)\">js</a>",
             "<div style=\"background-image: url(images/bg.gif)\"><select><option>a<option>b</select></div>",
             "</body></html>",
         })},
        // Shift-JIS, with characters whose second byte is '\' ("表", "ソ").
        {"about.html",
         Utf8ToCp932(Join({
             "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\"></head>",
             "<body><h1 id=\"team\">表ソ</h1><a href=\"資料.html\">資料</a><a href=\"index.html\">戻る</a></body></html>",
         }))},
        {Utf8ToCp932("資料.html"), "<meta charset=\"Shift_JIS\"><p>ok\n"},
        {"日本語.html", "<meta charset=\"utf-8\"><p>ok\n"},
        {"euc.html", Encode("<meta charset=\"EUC-JP\"><p>日本語</p>\n", ETextCode::Euc)},
        {"jis.html", Encode("<meta charset=\"ISO-2022-JP\"><p>日本語</p>\n", ETextCode::Jis)},
        {"bom.html", "\xEF\xBB\xBF<meta charset=\"utf-8\"><p>日本語</p>\n"},
        {"sub/index.html", "<meta charset=\"utf-8\"><a href=\"../index.html\">up</a><img src=\"../images/logo.png\">\n"},
        // The headers of a 16x8 PNG and a 4x4 GIF, all that the image size code reads.
        {"images/logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x08\x08\x06\0\0\0\0\0\0\0", 33)},
        {"images/bg.gif", std::string("GIF89a\x04\0\x04\0\0\0\0", 13)},
        {"faults/a.html",
         Join({
             "<!DOCTYPE html>",
             "<meta charset=\"utf-8\">",
             "<a href=\"nothere.html\">x</a>",
             "<img src=\"../Images/Logo.png\">",
             "<a href=\"../about.html#nobody\">y</a>",
             "<a href=\"#Top2\">z</a><span id=\"top2\"></span>",
             "<img src=\"../images/logo.png\" width=\"20\" height=\"8\">",
             "<a href=\"../../outside.html\">o</a>",
             "<a href=\"/top.html\">r</a>",
             "<a href=\"https://example.com/\">n</a>",
             "<p id=\"dup\">a<p id=\"dup\">b",
             "<div style=\"background: url('missing.gif')\">",
             "</div>",
         })},
        {"faults/b.html",
         Join({
             "<meta charset=\"utf-8\">",
             "<table><tr><td>x",
             "<div><span>a</div></span>",
             "<ul><li>one",
             "</div>",
             "<a href=\"b.html\" <b>bold</b>",
             "<!-- never closed",
         })},
        {"faults/c.html", "<meta charset=\"Shift_JIS\">\n<p>日本語\n"},
        {"faults/d.html", "<p>plain\n"},
    });
    // A folder link back to its own folder: the walk must end.
    symlink(".", (strRoot + "/faults/loop").c_str());
}

// What the check gives for the site, notes included, paths relative to it.
inline std::vector<std::string> Expected()
{
    return {
        "faults/loop: 参考: 既に読んだフォルダへのリンクなので、中は検査しません",
        "faults/a.html(3): リンク先がありません: \"nothere.html\"",
        "faults/a.html(4): 大文字と小文字が違います: \"../Images/Logo.png\"（ディスク上は \"images/logo.png\"）",
        "faults/a.html(5): アンカーがありません: \"../about.html#nobody\"",
        "faults/a.html(6): アンカーの大文字と小文字が違います: \"#Top2\"（ページには \"#top2\"）",
        "faults/a.html(7): 画像の大きさが違います: \"../images/logo.png\" は 16x8、タグは width=20 height=8",
        "faults/a.html(8): 参考: サイトのフォルダの外を指しています: \"../../outside.html\"",
        "faults/a.html(9): 参考: サーバーのルートからのパスは確認していません: \"/top.html\"",
        "faults/a.html(10): 参考: ネットワーク上のリンクは確認していません: \"https://example.com/\"",
        "faults/a.html(11): id \"dup\" が重複しています（最初は 11 行目）",
        "faults/a.html(12): ファイルがありません: \"missing.gif\"",
        "faults/b.html(2): <table> が閉じられていません",
        "faults/b.html(3): 閉じる順序が違います: <span>（3行目）より先に </div> があります",
        "faults/b.html(4): <ul> が閉じられていません",
        "faults/b.html(5): </div> に対応する開始タグがありません",
        "faults/b.html(6): タグが > で閉じられていません: <a",
        "faults/b.html(7): コメントが閉じられていません",
        "faults/c.html(1): 文字コードの宣言 \"Shift_JIS\" がファイルの文字コード（UTF-8）と違います",
        "faults/d.html(1): 参考: 文字コードの宣言（<meta charset>）がありません",
    };
}

} // namespace sitefixture
