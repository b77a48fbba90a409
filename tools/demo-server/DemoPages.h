#pragma once

// The HTML of the demo web application. Every page carries the same script: the
// global functions the client calls (ValtroDrage and changeLang), the array of
// dropped items, and (on every page but one) drag handlers that stop the browser from
// opening a dropped file.
namespace DemoPages {

// Placeholders: {{TITLE}}, {{HEADING}}, {{MAIN}}, {{DROP_GUARD}} (kDropGuard or nothing).
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
#file-list { border-collapse: collapse; }
#file-list td, #file-list th { text-align: left; padding: 4px 16px 4px 0; }
#upload-zone { border: 2px dashed #1d5fa8; border-radius: 8px; padding: 24px; margin-top: 12px; color: #1d5fa8; }
#upload-zone.over { background: #e8f0fa; }
</style>
</head>
<body>
<header><h1>{{HEADING}}</h1><nav><a id="nav-login" href="login">Sign in</a> <a id="nav-files" href="files">Files</a></nav>
<button id="copy-link" onclick="navigator.clipboard.writeText(location.href).then(() => this.textContent = 'Link copied', () => this.textContent = 'Not copied')">Copy link</button>
<button id="notify-me" onclick="notifyMe(this)">Notify me</button></header>
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
// Asks for notifications, then sends one as a finished transfer would; the counters
// show that the page heard of it being shown and clicked.
var notificationsShown = 0;
var notificationsClicked = 0;
function notifyMe(button) {
    Notification.requestPermission().then(function (answer) {
        if (answer !== 'granted') {
            button.textContent = 'Notifications are off';
            return;
        }
        var notification = new Notification('Transfer finished', { body: 'report.pdf arrived', tag: 'transfer' });
        notification.onshow = function () { notificationsShown++; button.textContent = 'Notified'; };
        notification.onclick = function () { notificationsClicked++; };
    });
}
function changeLang(lang) {
    currentLang = lang;
    document.getElementById('lang').textContent = lang;
}
{{DROP_GUARD}}</script>
</body>
</html>
)html";

// Placeholder: {{UUID}}.
constexpr const char* kLoginMain = R"html(<p>Signed in as this device:</p>
<p><code id="uuid">{{UUID}}</code></p>
<p>Open the <a href="files">file list</a> to see navigation inside the application.</p>)html";

constexpr const char* kDropGuard
    = R"html(document.addEventListener('dragover', function (event) { event.preventDefault(); });
document.addEventListener('drop', function (event) { event.preventDefault(); });
)html";

// The file list with download links, an upload form and a zone that uploads the files
// dropped on it, then replaces the list with the server's new one.
// Placeholder: {{FILE_ROWS}}, one kFileRow per stored file.
constexpr const char* kFilesMain = R"html(<h2>Files on this server</h2>
<table id="file-list"><tr><th>Name</th><th>Size</th></tr>{{FILE_ROWS}}</table>
<form id="upload-form" method="post" action="/app/upload" enctype="multipart/form-data">
<input id="upload-input" type="file" name="file" multiple> <button type="submit">Upload</button>
</form>
<div id="upload-zone">Drop files here to upload them to the server.</div>
<p id="upload-status"></p>
<script>
(function () {
    var zone = document.getElementById('upload-zone');
    var status = document.getElementById('upload-status');
    zone.addEventListener('dragover', function (event) { event.preventDefault(); zone.classList.add('over'); });
    zone.addEventListener('dragleave', function () { zone.classList.remove('over'); });
    zone.addEventListener('drop', function (event) {
        event.preventDefault();
        zone.classList.remove('over');
        var files = event.dataTransfer.files;
        if (!files.length)
            return;
        var form = new FormData();
        for (var i = 0; i < files.length; ++i)
            form.append('file', files[i]);
        status.textContent = 'Uploading ' + files.length + ' file(s)...';
        fetch('/app/upload', { method: 'POST', body: form }).then(function (response) {
            if (!response.ok)
                throw new Error('HTTP ' + response.status);
            return response.text();
        }).then(function (html) {
            var list = new DOMParser().parseFromString(html, 'text/html').getElementById('file-list');
            document.getElementById('file-list').replaceWith(list);
            status.textContent = 'Uploaded ' + files.length + ' file(s).';
        }).catch(function (error) {
            status.textContent = 'Upload failed: ' + error.message;
        });
    });
})();
</script>)html";

// Placeholders: {{HREF}} (the download path, percent-encoded), {{NAME}}, {{SIZE}}.
constexpr const char* kFileRow = R"html(<tr><td><a href="{{HREF}}">{{NAME}}</a></td><td>{{SIZE}}</td></tr>)html";

constexpr const char* kUnguardedMain
    = R"html(<p>This page leaves dropped files to the browser: it does not cancel <code>drop</code>.</p>)html";

constexpr const char* kSignInRequiredMain
    = R"html(<p>This part of the demo server asks for a user name and password: <code>demo</code> and <code>orbisk-demo</code>.</p>)html";

constexpr const char* kTestMain = R"html(<p id="test-result">The connection to the transfer server works.</p>)html";

constexpr const char* kIndexMain
    = R"html(<p>This is the Orbisk demo transfer server. <a href="app/login">Sign in</a>.</p>)html";

constexpr const char* kNotFoundMain = R"html(<p>There is no page at this address.</p>)html";

} // namespace DemoPages
