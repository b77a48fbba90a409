#pragma once

// The HTML of the demo web application. Every page carries the same script: the
// global functions the client calls (ValtroDrage and changeLang), the array of
// dropped items, and drag handlers that stop the browser from opening a dropped file.
namespace DemoPages {

// Placeholders: {{TITLE}}, {{HEADING}}, {{MAIN}}.
constexpr const char* kPageTemplate = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{{TITLE}}</title>
<style>
body { font-family: sans-serif; margin: 0; color: #222; }
header { background: #1d5fa8; color: #fff; padding: 12px 24px; display: flex; align-items: center; gap: 24px; }
header h1 { font-size: 20px; margin: 0; }
header a { color: #fff; }
main, section, footer { padding: 12px 24px; }
#dropzone { border: 2px dashed #8aa; border-radius: 8px; padding: 16px; color: #566; }
code { background: #eef; padding: 2px 4px; }
</style>
</head>
<body>
<header><h1>{{HEADING}}</h1><nav><a id="nav-login" href="login">Sign in</a> <a id="nav-files" href="files">Files</a></nav></header>
<main>{{MAIN}}</main>
<section id="dropzone">
<h2>Dropped items</h2>
<p>Drop files or folders from the desktop onto this page.</p>
<ol id="dropped"></ol>
</section>
<footer>Language: <span id="lang">not set</span></footer>
<script>
var droppedItems = [];
var currentLang = null;
function ValtroDrage(kind, path) {
    droppedItems.push({ kind: kind, path: path });
    var item = document.createElement('li');
    item.textContent = kind + ': ' + path;
    document.getElementById('dropped').appendChild(item);
}
function changeLang(lang) {
    currentLang = lang;
    document.getElementById('lang').textContent = lang;
}
document.addEventListener('dragover', function (event) { event.preventDefault(); });
document.addEventListener('drop', function (event) { event.preventDefault(); });
</script>
</body>
</html>
)html";

// Placeholder: {{UUID}}.
constexpr const char* kLoginMain = R"html(<p>Signed in as this device:</p>
<p><code id="uuid">{{UUID}}</code></p>
<p>Open the <a href="files">file list</a> to see navigation inside the application.</p>)html";

constexpr const char* kFilesMain = R"html(<p>No transfers yet. Dropped items are listed below.</p>)html";

constexpr const char* kTestMain = R"html(<p id="test-result">The connection to the transfer server works.</p>)html";

constexpr const char* kIndexMain
    = R"html(<p>This is the Orbisk demo transfer server. <a href="app/login">Sign in</a>.</p>)html";

constexpr const char* kNotFoundMain = R"html(<p>There is no page at this address.</p>)html";

} // namespace DemoPages
