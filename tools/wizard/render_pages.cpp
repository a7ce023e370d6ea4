// zrprj-render-dialog OUTDIR: shows the coordinate-system sheet through the
// Qt back end (run it on the offscreen platform), walks it through its five
// pages and saves a PNG of the window on each: page_6701.png to
// page_6705.png, then the kind page with a system found by name
// (page_6701_search.png) and that system's preview (page_6705_lambert93.png).
// Exit status 1 when a page could not be reached or its
// picture is blank (a window that drew nothing has a handful of colours).

#include "dialog/ZrSheetCoordSysSetting.h"
#include "dialog/qt/ZrQtBackend.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A drawn page shows text, lists, the banner and (on two pages) a sample.
constexpr int kMinColours = 24;
constexpr int kStepDelayMs = 150;

int CountColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

class Renderer {
public:
    Renderer(CZrSheetCoordSysSetting& sheet, QString dir) : m_sheet(sheet), m_dir(std::move(dir)) {}

    void Start() {
        m_steps = {
            [this] { return Shoot(m_sheet.GetKindPage()); },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return Shoot(m_sheet.GetPreDefinedPage()); },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_BACK) != 0; },
            [this] {
                auto* source = dynamic_cast<CComboBox*>(m_sheet.GetKindPage()->GetDlgItem(IDC_ZR_PRJ_SOURCE));
                return source && CZrUiInput::Select(*source, 1);
            },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return Shoot(m_sheet.GetUserDefineFirstPage()); },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return Shoot(m_sheet.GetUserDefineSecondPage()); },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return Shoot(m_sheet.GetPreviewPage()); },
            // A system found by name, then walked to the preview with its
            // area of use.
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_BACK) != 0; },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_BACK) != 0; },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_BACK) != 0; },
            [this] {
                auto* search = dynamic_cast<CEdit*>(m_sheet.GetKindPage()->GetDlgItem(IDC_ZR_KIND_SEARCH));
                return search && CZrUiInput::Type(*search, "Lambert 93");
            },
            [this] {
                auto* hits = dynamic_cast<CComboBox*>(m_sheet.GetKindPage()->GetDlgItem(IDC_ZR_KIND_HITS));
                return hits && hits->GetCount() > 0 && CZrUiInput::Select(*hits, 0);
            },
            [this] { return Shoot(m_sheet.GetKindPage(), "_search"); },
            [this] {
                auto* source = dynamic_cast<CComboBox*>(m_sheet.GetKindPage()->GetDlgItem(IDC_ZR_PRJ_SOURCE));
                return source && CZrUiInput::Select(*source, 1);
            },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT) != 0; },
            [this] { return Shoot(m_sheet.GetPreviewPage(), "_lambert93"); },
        };
        Arm();
    }
    bool Succeeded() const { return m_ok && m_next == m_steps.size(); }

private:
    void Arm() {
        QTimer::singleShot(kStepDelayMs, [this] { Tick(); });
    }

    void Tick() {
        if (m_next < m_steps.size() && m_ok) {
            m_ok = m_steps[m_next]();
            if (!m_ok) std::fprintf(stderr, "zrprj-render-dialog: step %zu failed\n", m_next);
            ++m_next;
            Arm();
            return;
        }
        CZrUiInput::PressWizardButton(m_sheet, PSBTN_CANCEL);
    }

    bool Shoot(CPropertyPage* page, const char* suffix = "") {
        QWidget* window = CZrQtBackend::Instance().GetSheetWindow();
        if (!window || m_sheet.GetActivePage() != page) return false;
        const QImage image = window->grab().toImage();
        const QString path = QStringLiteral("%1/page_%2%3.png")
                                 .arg(m_dir)
                                 .arg(page->GetTemplateId())
                                 .arg(QString::fromUtf8(suffix));
        const int colours = CountColours(image);
        std::printf("%s %dx%d, %d colours\n", path.toUtf8().constData(), image.width(), image.height(),
                    colours);
        if (!image.save(path)) return false;
        if (colours < kMinColours) {
            std::fprintf(stderr, "zrprj-render-dialog: %s looks blank\n", path.toUtf8().constData());
            return false;
        }
        return true;
    }

    CZrSheetCoordSysSetting& m_sheet;
    QString m_dir;
    std::vector<std::function<bool()>> m_steps;
    size_t m_next = 0;
    bool m_ok = true;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zrprj-render-dialog OUTDIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    CZrQtBackend::Install();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    CZrSheetCoordSysSetting sheet("坐标系统设置");
    Renderer renderer(sheet, dir);
    renderer.Start();
    sheet.DoModal();
    return renderer.Succeeded() ? 0 : 1;
}
