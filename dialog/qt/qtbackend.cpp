#include "dialog/qt/ZrQtBackend.h"

#include "dialog/qt/qtsheetwindow_p.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrPropertySheet.h"
#include "platform/ui/ZrUserLanguage.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

#include <iterator>
#include <vector>

using zrqt::FromUtf8;

struct CZrQtBackend::Impl {
    QPointer<zrqt::SheetWindow> window;
};

CZrQtBackend& CZrQtBackend::Instance() {
    static CZrQtBackend backend;
    return backend;
}

// Qt's own texts (the standard buttons of a message box, the file dialog)
// follow the user's language as the pages' texts and the data-exchange
// messages do; an English "Cancel" under a Chinese question reads as a
// foreign program. Qt's catalogues come from Debian's qt6-translations-l10n.
// The language is read again before each window, since the host may change
// it between two; where no catalogue is installed Qt's English stays.
static void FollowUserLanguage() {
    struct Catalogue {
        int langId;
        const char* name;
    };
    static const Catalogue kCatalogues[] = {
        {ZR_LANG_CHINESE, "qtbase_zh_CN"}, {ZR_LANG_JAPANESE, "qtbase_ja"}, {ZR_LANG_GERMAN, "qtbase_de"},
        {ZR_LANG_FRENCH, "qtbase_fr"},     {ZR_LANG_KOREAN, "qtbase_ko"},
    };
    static QPointer<QTranslator> installed;
    static int installedFor = -1;
    const int lang = ZrPrimaryLangId(ZrGetUserDefaultLangID());
    if (lang == installedFor && (installed || lang == ZR_LANG_NEUTRAL || lang == ZR_LANG_ENGLISH)) return;
    installedFor = lang;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    for (const Catalogue& c : kCatalogues) {
        if (c.langId != lang) continue;
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QString::fromLatin1(c.name), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(installed = translator);
        else
            delete translator;
    }
}

static void EnsureApplication() {
    if (!QApplication::instance()) {
        // A host without its own QApplication gets one for the life of the
        // process.
        static int argc = 1;
        static char name[] = "zrprj";
        static char* argv[] = {name, nullptr};
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
    }
    FollowUserLanguage();
}

CZrUiBackend* CZrQtBackend::Install() {
    EnsureApplication();
    return ZrSetUiBackend(&Instance());
}

CZrQtBackend::CZrQtBackend() : m(std::make_unique<Impl>()) {}

CZrQtBackend::~CZrQtBackend() = default;

QWidget* CZrQtBackend::GetSheetWindow() const {
    return m->window.data();
}

void CZrQtBackend::RunSheet(CPropertySheet& sheet) {
    EnsureApplication();
    if (m->window) return; // one modal sheet at a time
    zrqt::SheetWindow window(sheet);
    m->window = &window;
    if (!sheet.HasEnded()) {
        window.show();
        window.exec();
    }
    m->window = nullptr;
}

void CZrQtBackend::OnUiEvent(CWnd& wnd, int nEvent) {
    zrqt::SheetWindow* window = m->window.data();
    if (!window) return;
    auto* page = dynamic_cast<CPropertyPage*>(&wnd);
    bool ownPage = page && page->GetParent() == &window->sheet();
    switch (nEvent) {
    case ZRUI_SHEET_ENDED:
        if (&wnd == &window->sheet()) window->sheetEnded();
        break;
    case ZRUI_CREATED:
        if (ownPage)
            window->pageCreated(*page);
        else
            window->markDirty();
        break;
    case ZRUI_DESTROYED:
        if (ownPage) window->pageDestroyed(*page);
        break;
    case ZRUI_FOCUS:
        window->focusTo(&wnd);
        break;
    default:
        window->markDirty();
        break;
    }
}

void CZrQtBackend::SetClipboardText(const CString& text) {
    EnsureApplication();
    QApplication::clipboard()->setText(FromUtf8(text));
}

CString CZrQtBackend::GetClipboardText() {
    EnsureApplication();
    return CString(QApplication::clipboard()->text().toUtf8().constData());
}

// "*.xml;*.XML" as Qt writes patterns: "*.xml *.XML".
static QString QtPatterns(const CString& pattern) {
    return FromUtf8(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
}

int CZrQtBackend::RunFileDialog(CFileDialog& dlg) {
    EnsureApplication();
    QFileDialog fd(m->window.data());
    // Qt's own dialog: the same on every platform, also the offscreen one.
    fd.setOption(QFileDialog::DontUseNativeDialog, true);
    fd.setAcceptMode(dlg.IsOpenDialog() ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    fd.setFileMode(dlg.IsOpenDialog() ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!(dlg.GetFlags() & OFN_OVERWRITEPROMPT)) fd.setOption(QFileDialog::DontConfirmOverwrite, true);

    QStringList filters;
    for (int i = 0; i < dlg.GetFilterCount(); ++i) {
        QString name = FromUtf8(dlg.GetFilterName(i)), patterns = QtPatterns(dlg.GetFilterPattern(i));
        // Qt reads the patterns from the last parentheses of a filter.
        filters << (name.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")"))
                        ? name
                        : name + QStringLiteral(" (") + patterns + QStringLiteral(")"));
    }
    if (!filters.isEmpty()) fd.setNameFilters(filters);
    CString defExt = dlg.GetDefExt();
    defExt.TrimLeft('.');
    if (!defExt.IsEmpty()) fd.setDefaultSuffix(FromUtf8(defExt));
    CString initial = dlg.GetInitialFileName();
    // A wildcard name is the dialog's filter under Windows, not a file.
    if (!initial.IsEmpty() && initial.FindOneOf("*?") < 0) fd.selectFile(FromUtf8(initial));

    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return IDCANCEL;
    int filterIndex = filters.indexOf(fd.selectedNameFilter()) + 1;
    dlg.SetResult(fd.selectedFiles().first().toUtf8().constData(), filterIndex);
    return IDOK;
}

int CZrQtBackend::ShowMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    EnsureApplication();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONASTERISK:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int id;
    };
    static const Choice kOk[] = {{QMessageBox::Ok, IDOK}};
    static const Choice kOkCancel[] = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    static const Choice kAbortRetryIgnore[] = {
        {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    static const Choice kYesNoCancel[] = {
        {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    static const Choice kYesNo[] = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    static const Choice kRetryCancel[] = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    const Choice* first = kOk;
    const Choice* last = std::end(kOk);
    switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        first = kOkCancel, last = std::end(kOkCancel);
        break;
    case MB_ABORTRETRYIGNORE:
        first = kAbortRetryIgnore, last = std::end(kAbortRetryIgnore);
        break;
    case MB_YESNOCANCEL:
        first = kYesNoCancel, last = std::end(kYesNoCancel);
        break;
    case MB_YESNO:
        first = kYesNo, last = std::end(kYesNo);
        break;
    case MB_RETRYCANCEL:
        first = kRetryCancel, last = std::end(kRetryCancel);
        break;
    default:
        break;
    }
    std::vector<Choice> choices(first, last);
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    QString caption = FromUtf8(lpszCaption);
    if (caption.isEmpty()) caption = m->window ? m->window->windowTitle() : QApplication::applicationName();
    QMessageBox box(icon, caption, FromUtf8(lpszText), buttons, m->window.data());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(choices.front().button);
    int pressed = box.exec();
    for (const Choice& c : choices)
        if (pressed == c.button) return c.id;
    // Closed without a button: Windows answers with Cancel where there is one.
    for (const Choice& c : choices)
        if (c.id == IDCANCEL) return IDCANCEL;
    return choices.front().id;
}
