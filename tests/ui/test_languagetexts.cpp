#include "ui/LanguageTexts.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QTranslator>

namespace {

const QString kTranslatorDir = QStringLiteral(":/resource/translator/");
const QString kImageDir = QStringLiteral(":/resource/image/");

struct CatalogueRow
{
    const char* key;
    const char* english;
    const char* chinese;
};

// The catalogue as the client must show it, kept apart from the translation
// sources so that a wrong or missing message there is caught here.
const CatalogueRow kCatalogue[] = {
    {"Server", "Server", "服务器"},
    {"ExitServer", "Exit server", "退出服务器"},
    {"Help", "Help", "帮助"},
    {"About", "About", "关于"},
    {"MachineCode", "Device code", "设备码"},
    {"CheckUpdate", "Check update", "检查更新"},
    {"ServerName", "Server name", "服务器名称"},
    {"OK", "OK", "确定"},
    {"Cancel", "Cancel", "取消"},
    {"Tip", "Tips", "提示"},
    {"MachineCodeIs", "Your current device code is", "您当前的设备码为"},
    {"UseNewestVersion", "You are using the latest version", "您正在使用最新版本"},
    {"ConnectFailed", "Server connection failed, please check network or change server address",
        "服务器连接失败，请检查网络或更换服务器地址"},
    {"LowPermission", "Device cannot log in because of setting security permission, please contact the administrator",
        "该设备由于设置安全权限无法登录，请联系管理员"},
    {"Language", "Language", "语言"},
    {"Chinese", "Chinese", "中文"},
    {"English", "English", "英文"},
    {"Version", "Version", "版本"},
    {"TransferLog", "System Log", "传输日志"},
    {"Copy", "Copy", "复制"},
    {"Paste", "Paste", "粘贴"},
    {"Cut", "Cut", "剪切"},
    {"Back", "Back", "后退"},
    {"Forward", "Forward", "前进"},
    {"Reload", "Reload", "重新载入"},
    {"SelectAll", "Select all", "全选"},
    {"SaveAs", "Save as", "页面另存为"},
    {"OriginalFile", "Page original document", "页面原始档"},
    {"FindNewVerIsDown", "Find a new version, download it?", "发现新版本是否下载"},
    {"CheckUpdateFailed", "Check update failed", "检查更新失败"},
    {"Setting", "Settings", "设置"},
    {"AutoStart", "Start up automatically when system starts", "开机自动启动"},
    {"MiniTray", "Minimize to system tray when window closed", "窗口关闭时最小化到托盘"},
    {"Exit", "Quit", "退出"},
    {"ConnectNewServer", "Connect to the new server", "连接新服务器"},
    {"ServerAddress", "Server address", "服务器地址"},
    {"ServerAlias", "Alias", "为服务器取个别名"},
    {"Continue", "Continue", "继续"},
    {"SelectServer", "Select Server", "选择已连接过的服务器"},
    {"BrowserModel", "Now you can use Valtro via browser, if you prefer to access Valtro via client application,",
        "您正在通过浏览器使用Valtro，如果您希望使用客户端来访问Valtro"},
    {"ExitBrowserModel", "please click here", "请按这里"},
    {"SwitchModelTip",
        "Click OK will stop active transmission tasks on the browser, and switch to client app login. Continue?",
        "退出将停止浏览器上的传输任务并切换到客户端登录，确定退出？"},
    {"SetDefaultServer", "Set as default server", "设为默认服务器"},
    {"UserManual", "User Manual(pdf)", "用户手册(pdf)"},
    {"Tutotial", "Tutotial", "教程"},
    {"OnlyHttpsSupported", "Only https servers are supported", "仅支持 https 服务器"},
    {"InvalidServerAddress", "Please enter a valid server address, such as files.example.com:8443",
        "请输入有效的服务器地址，例如 files.example.com:8443"},
    {"MissingServerAlias", "Please enter an alias for the server", "请为服务器输入别名"},
    {"Open", "Open", "打开"},
    {"Downloads", "Downloads", "下载"},
    {"ShowInFolder", "Show in folder", "在文件夹中显示"},
    {"DownloadRunning", "Downloading", "正在下载"},
    {"DownloadCompleted", "Completed", "已完成"},
    {"DownloadCancelled", "Cancelled", "已取消"},
    {"DownloadFailed", "Failed", "失败"},
    {"DownloadFinishedTip", "Download finished", "下载完成"},
    {"DownloadFailedTip", "Download failed", "下载失败"},
    {"CertificateUntrusted", "Untrusted server certificate", "不受信任的服务器证书"},
    {"CertificateChanged", "The server's certificate has changed", "服务器的证书已更改"},
    {"CertificateUntrustedWarning",
        "This computer does not trust the certificate of %1. Trust it only if you know that it is the server's own "
        "certificate, for example by comparing its fingerprint with the one the server's administrator gave you.",
        "此计算机不信任 %1 的证书。"
        "只有在确认这是该服务器自己的证书时才可信任它，"
        "例如将它的指纹与服务器管理员提供给您的指纹逐一比对。"},
    {"CertificateChangedWarning",
        "The certificate of %1 is not the one you trusted before. This can mean that someone is intercepting the "
        "connection. Trust the new certificate only if the server's administrator has told you that it changed.",
        "%1 的证书与您之前信任的证书不同。"
        "这可能意味着有人正在拦截该连接。"
        "只有在服务器管理员告知您证书已更换时，才可信任新证书。"},
    {"CertificateSelfSigned", "The certificate is self-signed: no authority that this computer trusts vouches for it.",
        "该证书为自签名证书：没有任何受此计算机信任的颁发机构为它担保。"},
    {"CertificateUnknownAuthority", "The certificate is issued by an authority that this computer does not trust.",
        "该证书由此计算机不信任的颁发机构签发。"},
    {"CertificateOtherName", "The certificate is issued for another name than %1.", "该证书是为 %1 以外的名称签发的。"},
    {"CertificateExpired", "The certificate has expired.", "该证书已过期。"},
    {"CertificateNotYetValid", "The certificate is not valid yet.", "该证书尚未生效。"},
    {"CertificateInvalid", "The certificate is not valid.", "该证书无效。"},
    {"CertificateProblem", "Problem", "问题"},
    {"CertificateIssuedTo", "Issued to", "颁发给"},
    {"CertificateIssuedBy", "Issued by", "颁发者"},
    {"CertificateValid", "Valid", "有效期"},
    {"CertificateValidRange", "%1 to %2", "%1 至 %2"},
    {"CertificateFingerprint", "SHA-256 fingerprint", "SHA-256 指纹"},
    {"TrustCertificate", "Trust this certificate", "信任此证书"},
    {"SetByAdministrator", "Set by your administrator", "由管理员设置"},
    {"UpdatesManaged", "Updates are managed by your administrator", "更新由管理员管理"},
    {"OnlyManagedServers", "Only the servers your administrator set can be used", "只能使用管理员设置的服务器"},
    {"PageReloaded", "The page stopped unexpectedly and was reloaded", "页面意外停止，已重新加载"},
    {"PageStoppedRepeatedly", "The page stopped repeatedly", "页面多次意外停止"},
    {"CannotReachServer", "Cannot reach %1. Trying again in %2 s", "无法连接 %1。%2 秒后重试"},
    {"TryNow", "Try now", "立即重试"},
    {"ChangeServer", "Change server", "更换服务器"},
    {"FindInPage", "Find in page", "在页面中查找"},
    {"FindCount", "%1 of %2", "第 %1 个，共 %2 个"},
    {"NotificationsWanted", "%1 wants to show notifications", "%1 想要显示通知"},
    {"Allow", "Allow", "允许"},
    {"DontAllow", "Don't allow", "不允许"},
    {"SignIn", "Sign in", "登录"},
    {"ProxyAsksSignIn", "The proxy server %1 asks for a user name and password", "代理服务器 %1 要求输入用户名和密码"},
    {"ServerAsksSignIn", "%1 asks for a user name and password", "%1 要求输入用户名和密码"},
    {"UserName", "User name", "用户名"},
    {"Password", "Password", "密码"},
    {"Remember", "Remember", "记住"},
    {"NoSecretStore", "No password store is available on this system: the sign-in lasts until the client ends",
        "此系统上没有可用的密码存储：登录信息在客户端退出前有效"},
    {"CredentialsRefused", "The user name or password was not accepted", "用户名或密码未被接受"},
    {"ProxySignInRequired", "The proxy server requires sign-in", "代理服务器要求登录"},
    {"ServerSignInRequired", "The server requires sign-in", "服务器要求登录"},
    {"ClientCertificateWanted", "%1 asks for a certificate to identify you", "%1 要求提供证书以识别您的身份"},
    {"CertificateValidUntil", "Valid until", "有效期至"},
    {"Close", "Close", "关闭"},
    {"FindPrevious", "Previous match", "上一个匹配"},
    {"FindNext", "Next match", "下一个匹配"},
};

QStringList catalogueColumn(const char* CatalogueRow::*column)
{
    QStringList result;
    for (const CatalogueRow& row : kCatalogue)
        result.append(QString::fromUtf8(row.*column));
    return result;
}

// Every field read by its name, in catalogue order.
QStringList fieldsByName(const LanguageTexts& t)
{
    return {t.Server, t.ExitServer, t.Help, t.About, t.MachineCode, t.CheckUpdate, t.ServerName, t.OK, t.Cancel, t.Tip,
        t.MachineCodeIs, t.UseNewestVersion, t.ConnectFailed, t.LowPermission, t.Language, t.Chinese, t.English,
        t.Version, t.TransferLog, t.Copy, t.Paste, t.Cut, t.Back, t.Forward, t.Reload, t.SelectAll, t.SaveAs,
        t.OriginalFile, t.FindNewVerIsDown, t.CheckUpdateFailed, t.Setting, t.AutoStart, t.MiniTray, t.Exit,
        t.ConnectNewServer, t.ServerAddress, t.ServerAlias, t.Continue, t.SelectServer, t.BrowserModel,
        t.ExitBrowserModel, t.SwitchModelTip, t.SetDefaultServer, t.UserManual, t.Tutotial, t.OnlyHttpsSupported,
        t.InvalidServerAddress, t.MissingServerAlias, t.Open, t.Downloads, t.ShowInFolder, t.DownloadRunning,
        t.DownloadCompleted, t.DownloadCancelled, t.DownloadFailed, t.DownloadFinishedTip, t.DownloadFailedTip,
        t.CertificateUntrusted, t.CertificateChanged, t.CertificateUntrustedWarning, t.CertificateChangedWarning,
        t.CertificateSelfSigned, t.CertificateUnknownAuthority, t.CertificateOtherName, t.CertificateExpired,
        t.CertificateNotYetValid, t.CertificateInvalid, t.CertificateProblem, t.CertificateIssuedTo,
        t.CertificateIssuedBy, t.CertificateValid, t.CertificateValidRange, t.CertificateFingerprint,
        t.TrustCertificate, t.SetByAdministrator, t.UpdatesManaged, t.OnlyManagedServers, t.PageReloaded,
        t.PageStoppedRepeatedly, t.CannotReachServer, t.TryNow, t.ChangeServer, t.FindInPage, t.FindCount,
        t.NotificationsWanted, t.Allow, t.DontAllow, t.SignIn, t.ProxyAsksSignIn, t.ServerAsksSignIn, t.UserName,
        t.Password, t.Remember, t.NoSecretStore, t.CredentialsRefused, t.ProxySignInRequired, t.ServerSignInRequired,
        t.ClientCertificateWanted, t.CertificateValidUntil, t.Close, t.FindPrevious, t.FindNext};
}

} // namespace

class TestLanguageTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutTranslator_everyFieldIsItsKey();
    void installedCatalogue_givesItsColumn_data();
    void installedCatalogue_givesItsColumn();
    void englishWithQtCatalogue_givesEnglishColumn();
    void emptyCatalogues_addNoTranslation_data();
    void emptyCatalogues_addNoTranslation();
    void hkCatalogue_isTheBareHeader();
    void qtCatalogues_holdQtTexts_data();
    void qtCatalogues_holdQtTexts();
    void images_loadAtTheirSize_data();
    void images_loadAtTheirSize();
};

void TestLanguageTexts::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestLanguageTexts::withoutTranslator_everyFieldIsItsKey()
{
    const LanguageTexts t = LanguageTexts::fromInstalledTranslators();
    const QStringList keys = catalogueColumn(&CatalogueRow::key);
    QCOMPARE(LanguageTexts::keys(), keys);
    QCOMPARE(t.values(), keys);
    QCOMPARE(fieldsByName(t), keys);
    QCOMPARE(t.Exit, QStringLiteral("Exit"));
}

void TestLanguageTexts::installedCatalogue_givesItsColumn_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("English") << "ValtroEnterpriseEN.qm" << catalogueColumn(&CatalogueRow::english);
    QTest::newRow("Chinese") << "ValtroEnterpriseCN.qm" << catalogueColumn(&CatalogueRow::chinese);
}

void TestLanguageTexts::installedCatalogue_givesItsColumn()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);

    QTranslator translator;
    QVERIFY(translator.load(kTranslatorDir + file));
    QVERIFY(QCoreApplication::installTranslator(&translator));

    const LanguageTexts t = LanguageTexts::fromInstalledTranslators();
    const QStringList keys = LanguageTexts::keys();
    const QStringList values = t.values();
    QCOMPARE(values.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        if (values.at(i) != expected.at(i))
            QFAIL(qPrintable(
                QStringLiteral("%1: got \"%2\", expected \"%3\"").arg(keys.at(i), values.at(i), expected.at(i))));
    }
    QCOMPARE(fieldsByName(t), expected);
}

// The pair the client installs for English: Qt's catalogue first, then the client's.
void TestLanguageTexts::englishWithQtCatalogue_givesEnglishColumn()
{
    QTranslator qtTranslator;
    QTranslator appTranslator;
    qtTranslator.load(kTranslatorDir + QStringLiteral("qtranslatorEN.qm"));
    QVERIFY(appTranslator.load(kTranslatorDir + QStringLiteral("ValtroEnterpriseEN.qm")));
    QCoreApplication::installTranslator(&qtTranslator);
    QVERIFY(QCoreApplication::installTranslator(&appTranslator));

    const LanguageTexts t = LanguageTexts::fromInstalledTranslators();
    QCOMPARE(t.values(), catalogueColumn(&CatalogueRow::english));
    QCOMPARE(t.Exit, QStringLiteral("Quit"));
    QCOMPARE(t.Tutotial, QStringLiteral("Tutotial"));
}

void TestLanguageTexts::emptyCatalogues_addNoTranslation_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loads");

    // qtranslatorEN.qm only names Qt catalogues that are not embedded, so
    // QTranslator reports its load as failed and keeps no messages.
    QTest::newRow("qtranslatorEN") << "qtranslatorEN.qm" << false;
    QTest::newRow("ValtroEnterpriseHK") << "ValtroEnterpriseHK.qm" << true;
}

// Neither catalogue carries a message: installed alone, every key shows as itself.
void TestLanguageTexts::emptyCatalogues_addNoTranslation()
{
    QFETCH(QString, file);
    QFETCH(bool, loads);

    QTranslator translator;
    QCOMPARE(translator.load(kTranslatorDir + file), loads);
    QVERIFY(translator.isEmpty());
    QCoreApplication::installTranslator(&translator);

    QCOMPARE(LanguageTexts::fromInstalledTranslators().values(), LanguageTexts::keys());
}

void TestLanguageTexts::hkCatalogue_isTheBareHeader()
{
    QFile file(kTranslatorDir + QStringLiteral("ValtroEnterpriseHK.qm"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(16));

    QTranslator translator;
    QVERIFY(translator.load(file.fileName()));
    QVERIFY(translator.isEmpty());
}

void TestLanguageTexts::qtCatalogues_holdQtTexts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("restoreDefaults");

    QTest::newRow("simplified") << "qtranslatorCN.qm" << QStringLiteral("恢复默认值");
    QTest::newRow("traditional") << "qtranslatorHK.qm" << QStringLiteral("還原到預設值");
}

// Qt's own texts in Chinese, merged from the system's Qt translations.
void TestLanguageTexts::qtCatalogues_holdQtTexts()
{
    QFETCH(QString, file);
    QFETCH(QString, restoreDefaults);

    QTranslator translator;
    QVERIFY(translator.load(kTranslatorDir + file));
    if (translator.isEmpty())
        QSKIP("built without Qt's translations (qttranslations5-l10n)");
    QCOMPARE(translator.translate("QPlatformTheme", "Restore Defaults"), restoreDefaults);
    QCOMPARE(translator.translate("QProgressDialog", "Cancel"), QStringLiteral("取消"));
}

void TestLanguageTexts::images_loadAtTheirSize_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");

    QTest::newRow("close") << "close.png" << QSize(16, 16);
    QTest::newRow("check") << "check.png" << QSize(16, 16);
    QTest::newRow("uncheck") << "uncheck.png" << QSize(16, 16);
    QTest::newRow("drop-down") << "drop-down.png" << QSize(12, 8);
    QTest::newRow("warning") << "warning.png" << QSize(24, 24);
    QTest::newRow("large logo") << "orbisk/orbisk330x170.png" << QSize(330, 170);
    QTest::newRow("small logo") << "orbisk/orbisk200x40.png" << QSize(200, 40);
    QTest::newRow("icon") << "orbisk/orbisk64.png" << QSize(64, 64);
}

void TestLanguageTexts::images_loadAtTheirSize()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);

    const QImage image(kImageDir + file);
    QVERIFY2(!image.isNull(), qPrintable(file));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
}

QTEST_GUILESS_MAIN(TestLanguageTexts)
#include "test_languagetexts.moc"
