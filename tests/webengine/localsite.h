// A small site on disk as authors keep one: a page in a subfolder that uses
// its parent's image, style sheet, font and script, and a file elsewhere
// that the page's script tries to read. The page writes down what each of
// its tags and tries came to, one list item "key=result" each, in
// <ul id="out">, and counts them in window.nDone.
#pragma once

#include "support/testutil.h"

#include <QImage>
#include <QUrl>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

// What the user's file holds; no page or script contains it, so finding it
// anywhere in a page means a script read it.
inline constexpr const char *SITE_SECRET = "TOP-SECRET-CONTENT-42";

// The font the project installs for Japanese text, borrowed by the style sheet.
inline constexpr const char *SITE_FONT_SOURCE = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// What the page tries, by key. Its tags load from the site's folders: an
// image, a style sheet, the font it names, a script (each "loaded" when its
// onload ran); "style" is the width the style sheet gives. Its script tries to read the file outside: by its
// file: URL ("-far") and by a URL of the page's own scheme ("-scheme"), with
// fetch, XMLHttpRequest and a frame's document; then a file beside the page
// ("-near"), an image through a canvas, the rules of its style sheet. It
// asks for the user's location last ("geo").
inline constexpr const char *SITE_TAG_KEYS[] = {"img", "css", "js", "font"};
inline constexpr const char *SITE_READ_KEYS[] = {"fetch-far",  "fetch-scheme", "fetch-near",  "xhr-far",
                                                 "xhr-scheme", "xhr-near",     "frame-far",   "frame-near",
                                                 "canvas-near", "canvas-far",  "rules"};
inline constexpr int SITE_KEY_COUNT = 17;

struct CLocalSite
{
    std::string strFolder;  // the site's top folder
    std::string strPage;    // its sub/page.html
    std::string strSecret;  // outside/secret.txt, beside the site
    std::string strSource;  // the page's bytes
};

// The site's folder has a name that URLs must encode (UTF-8, a blank, "#"
// and "%"), as users' folders often have.
inline CLocalSite MakeLocalSite(const CTempDir &dir)
{
    namespace fs = std::filesystem;
    CLocalSite site;
    site.strFolder = dir.File("\xe3\x82\xb5\xe3\x82\xa4\xe3\x83\x88 #1 100%");  // サイト #1 100%
    for (const char *pszFolder : {"img", "css", "js", "fonts", "sub"})
        fs::create_directories(site.strFolder + "/" + pszFolder);
    fs::create_directories(dir.File("outside"));
    QImage logo(30, 12, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    logo.save(QString::fromStdString(site.strFolder + "/img/logo.png"));
    logo.save(QString::fromStdString(dir.File("outside/photo.png")));
    fs::copy_file(SITE_FONT_SOURCE, site.strFolder + "/fonts/site.ttf", fs::copy_options::overwrite_existing);
    WriteFileBytes(site.strFolder + "/css/site.css",
                   "@font-face { font-family: SiteFont; src: url(../fonts/site.ttf); }\n"
                   "#box { width: 123px; height: 4px; font-family: SiteFont; }\n");
    WriteFileBytes(site.strFolder + "/js/site.js", "window.siteScript = 'ran';\n");
    WriteFileBytes(site.strFolder + "/sub/near.txt", std::string(SITE_SECRET) + "\n");
    WriteFileBytes(dir.File("outside/secret.txt"), std::string(SITE_SECRET) + "\n");

    site.strPage = site.strFolder + "/sub/page.html";
    site.strSecret = dir.File("outside/secret.txt");
    const std::string strFar = QUrl::fromLocalFile(QString::fromStdString(site.strSecret)).toEncoded().toStdString();
    site.strSource = R"PAGE(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>site</title>
<script>
window.nDone = 0;
function say(key, text) {
  var item = document.createElement('li');
  item.id = key;
  item.textContent = key + '=' + text;
  document.getElementById('out').appendChild(item);
  window.nDone++;
}
function mark(key) { say(key, 'loaded'); }
function read(text) { return 'read:' + String(text).trim(); }
function tryFetch(key, url) {
  try {
    fetch(url).then(function (r) { return r.text(); })
              .then(function (t) { say(key, read(t)); }, function () { say(key, 'refused'); });
  } catch (e) { say(key, 'refused'); }
}
function tryXhr(key, url) {
  try {
    var x = new XMLHttpRequest();
    x.onload = function () { say(key, read(x.responseText)); };
    x.onerror = function () { say(key, 'refused'); };
    x.open('GET', url);
    x.send();
  } catch (e) { say(key, 'refused'); }
}
function readFrame(key, frame) {
  try {
    var d = frame.contentDocument;
    say(key, d && d.body ? read(d.body.textContent) : 'refused');
  } catch (e) { say(key, 'refused'); }
}
function readImage(key, url) {
  var image = new Image();
  image.onload = function () {
    try {
      var canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      var g = canvas.getContext('2d');
      g.drawImage(image, 0, 0);
      say(key, read(g.getImageData(0, 0, 1, 1).data.join(',')));
    } catch (e) { say(key, 'refused'); }
  };
  image.onerror = function () { say(key, 'failed'); };
  image.src = url;
}
</script>
</head><body>
<ul id="out"></ul>
<link rel="stylesheet" href="../css/site.css" onload="mark('css')" onerror="say('css', 'failed')">
<script src="../js/site.js" onload="mark('js')" onerror="say('js', 'failed')"></script>
<img src="../img/logo.png" onload="mark('img')" onerror="say('img', 'failed')">
<div id="box">box</div>
<iframe src="FAR_URL" onload="readFrame('frame-far', this)"></iframe>
<iframe src="near.txt" onload="readFrame('frame-near', this)"></iframe>
<script>
var schemeUrl = location.protocol + '//' + 'FAR_PATH';
tryFetch('fetch-far', 'FAR_URL');
tryFetch('fetch-scheme', schemeUrl);
tryFetch('fetch-near', 'near.txt');
tryXhr('xhr-far', 'FAR_URL');
tryXhr('xhr-scheme', schemeUrl);
tryXhr('xhr-near', 'near.txt');
readImage('canvas-near', '../img/logo.png');
readImage('canvas-far', location.protocol + '//' + 'PHOTO_PATH');
document.fonts.load('16px SiteFont').then(function (faces) { say('font', faces.length ? 'loaded' : 'failed'); },
                                          function () { say('font', 'failed'); });
window.addEventListener('load', function () {
  say('style', getComputedStyle(document.getElementById('box')).width);
  try {
    say('rules', read(document.styleSheets[0].cssRules.length));
  } catch (e) { say('rules', 'refused'); }
  navigator.geolocation.getCurrentPosition(
      function () { say('geo', 'given'); },
      function (e) { say('geo', e.code == e.PERMISSION_DENIED ? 'denied' : 'failed'); });
});
</script>
</body></html>
)PAGE";
    const auto fnPath = [](const std::string &strPath) {
        return QUrl::fromLocalFile(QString::fromStdString(strPath)).path(QUrl::FullyEncoded).toStdString();
    };
    for (auto [pszKey, strValue] : {std::pair<const char *, std::string>{"FAR_URL", strFar},
                                    {"FAR_PATH", fnPath(site.strSecret)},
                                    {"PHOTO_PATH", fnPath(dir.File("outside/photo.png"))}})
        for (std::size_t nAt; (nAt = site.strSource.find(pszKey)) != std::string::npos;)
            site.strSource.replace(nAt, std::string_view(pszKey).size(), strValue);
    WriteFileBytes(site.strPage, site.strSource);
    return site;
}
