// The tiny wizard shown through the Qt back end on the offscreen platform and
// driven by clicking and typing into the real widgets.

#include "dialog/qt/ZrQtBackend.h"
#include "tests/dialog/ui_tinywizard_p.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A step is retried from the event loop until it reports done, so a step may
// wait for a window to appear. A step that opens a modal message box or file
// dialog does not return until that closes, so the steps after it run from
// the modal's own event loop.
class StepRunner {
public:
    using Step = std::function<bool()>;
    // Long enough for a slow machine, short enough that a broken test ends.
    static constexpr int kTimeoutMs = 20000;
    static constexpr int kPollMs = 5;

    explicit StepRunner(std::vector<Step> steps) : m_steps(std::move(steps)) {
        Arm();
        m_watchdog.start();
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    void Arm() {
        QTimer::singleShot(kPollMs, &m_context, [this]() { Tick(); });
    }
    void Tick() {
        if (m_watchdog.elapsed() > kTimeoutMs) {
            GiveUp();
            return;
        }
        if (m_next == m_steps.size()) return;
        Arm();
        // Counted as begun before it runs: a step that blocks in a modal loop
        // lets the next one run there. A step that is not ready yet returns
        // at once and is tried again.
        size_t current = m_next++;
        if (!m_steps[current]() && m_next == current + 1) m_next = current;
    }
    void GiveUp() {
        if (!m_gaveUp) ADD_FAILURE() << "step " << m_next << " never completed";
        m_gaveUp = true;
        QWidget* sheet = CZrQtBackend::Instance().GetSheetWindow();
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != sheet) {
            modal->close();
        } else if (sheet) {
            if (auto* cancel = sheet->findChild<QPushButton*>(QStringLiteral("wizCancel"))) cancel->click();
        } else {
            return;
        }
        Arm();
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_gaveUp = false;
    QObject m_context;
    QElapsedTimer m_watchdog;
};

QWidget* Window() {
    QWidget* w = CZrQtBackend::Instance().GetSheetWindow();
    return w && w->isVisible() ? w : nullptr;
}

// The sheet is shown and no message box or file dialog stands over it.
bool NoOtherModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return Window() && (!modal || modal == Window());
}

template <class T> T* Find(const char* name) {
    QWidget* w = Window();
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

template <class T> T* Visible(const char* name) {
    T* widget = Find<T>(name);
    return widget && widget->isVisible() ? widget : nullptr;
}

// Clicks a widget once it is shown and enabled.
StepRunner::Step ClickOn(const char* name) {
    return [name]() {
        QWidget* widget = Visible<QWidget>(name);
        if (!widget || !widget->isEnabled()) return false;
        // Radio buttons and check boxes take clicks on their mark and text
        // only: click the mark.
        bool marked = qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget);
        QPoint at = marked ? QPoint(6, widget->height() / 2) : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
        return true;
    };
}

StepRunner::Step TypeInto(const char* name, const char* text) {
    return [name, text]() {
        auto* edit = Visible<QLineEdit>(name);
        if (!edit) return false;
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
        return true;
    };
}

class QtWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        RegisterTinyTemplates();
        CZrQtBackend::Install();
    }
    void TearDown() override { ZrSetUiBackend(nullptr); }

    CTinySheet sheet;
};

TEST_F(QtWizardTest, ClickingThroughTheRealWidgetsReachesFinish) {
    StepRunner runner({
        []() {
            auto* finish = Visible<QPushButton>("wizFinish");
            auto* next = Find<QPushButton>("wizNext");
            if (!finish || !next) return false;
            EXPECT_TRUE(finish->isEnabled());
            EXPECT_TRUE(next->isHidden()) << "Finish stands where Next was";
            EXPECT_EQ(Window()->windowTitle(), QStringLiteral("坐标系统"));
            auto* planar = Find<QRadioButton>("ctl_9111");
            EXPECT_TRUE(planar && planar->isChecked());
            EXPECT_EQ(planar->text(), QStringLiteral("平面(&P)"));
            auto* units = Find<QComboBox>("ctl_9120");
            EXPECT_EQ(units->count(), 4);
            EXPECT_EQ(units->currentText(), QStringLiteral("metre"));
            return true;
        },
        ClickOn("ctl_9113"),
        []() {
            auto* next = Visible<QPushButton>("wizNext");
            if (!next) return false;
            EXPECT_TRUE(Find<QRadioButton>("ctl_9113")->isChecked());
            EXPECT_FALSE(Find<QRadioButton>("ctl_9111")->isChecked()) << "the model moved the group's check";
            EXPECT_TRUE(Find<QPushButton>("wizFinish")->isHidden());
            return true;
        },
        [this]() {
            // The user picks "Yard" with the keyboard.
            auto* units = Visible<QComboBox>("ctl_9120");
            if (!units) return false;
            units->setFocus();
            QTest::keyClick(units, Qt::Key_Down);
            EXPECT_EQ(sheet.m_kindPage.m_nUnit, 9144);
            return true;
        },
        ClickOn("wizNext"),
        []() {
            QWidget* sample = Visible<QWidget>("ctl_9160");
            if (!sample) return false;
            EXPECT_TRUE(Visible<QWidget>("page_9102"));
            EXPECT_FALSE(Visible<QWidget>("page_9101"));
            EXPECT_EQ(Window()->windowTitle(), QStringLiteral("预览"));
            QImage shot = sample->grab().toImage();
            EXPECT_EQ(shot.pixelColor(18, 8), QColor(0, 255, 0)) << "the page's drawing is shown";
            EXPECT_EQ(shot.pixelColor(40, 40), QColor(255, 0, 128));
            EXPECT_EQ(shot.pixelColor(60, 20), QColor(240, 240, 240));
            EXPECT_TRUE(Find<QPushButton>("wizBack")->isEnabled());
            return true;
        },
        []() {
            auto* zones = Visible<QComboBox>("ctl_9170");
            if (!zones) return false;
            zones->setFocus();
            QTest::keyClick(zones, Qt::Key_Down);
            return true;
        },
        ClickOn("wizBack"),
        []() { return Visible<QWidget>("page_9101") != nullptr; },
        ClickOn("wizNext"),
        ClickOn("wizFinish"),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(runner.Finished());
    EXPECT_EQ(sheet.m_nFinishedOn, IDD_TINY_SAMPLE);
    EXPECT_EQ(sheet.m_kindPage.m_nKind, 2);
    EXPECT_EQ(sheet.m_kindPage.m_nUnit, 9144);
    EXPECT_EQ(sheet.m_samplePage.m_nZoneIndex, 0);
    EXPECT_EQ(CZrQtBackend::Instance().GetSheetWindow(), nullptr) << "the window goes with the run";
}

TEST_F(QtWizardTest, RefusedKeystrokesAndTheRangeMessageShowInQt) {
    StepRunner runner({
        ClickOn("ctl_9113"),
        TypeInto("ctl_9130", "1.5"),
        []() {
            EXPECT_EQ(Find<QLineEdit>("ctl_9130")->text(), QStringLiteral("1.")) << "the 5 was refused";
            return true;
        },
        TypeInto("ctl_9125", "61"),
        ClickOn("wizNext"),
        []() {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return false;
            EXPECT_EQ(box->text(), QStringLiteral("Please enter an integer between 1 and 60."));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            return true;
        },
        []() {
            if (!NoOtherModal()) return false;
            EXPECT_TRUE(Visible<QWidget>("page_9101")) << "the page kept the user";
            return true;
        },
        TypeInto("ctl_9125", "60"),
        ClickOn("wizNext"),
        []() { return Visible<QWidget>("page_9102") != nullptr; },
        ClickOn("wizCancel"),
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(runner.Finished());
    EXPECT_EQ(sheet.m_kindPage.m_nZone, 60);
    EXPECT_DOUBLE_EQ(sheet.m_kindPage.m_dScale, 1.0);
}

TEST_F(QtWizardTest, SaveButtonUsesQtFileDialogWithTheDefaultSuffix) {
    QString folder = QDir::tempPath() + QStringLiteral("/zrprj_ui_qt_test");
    QDir().mkpath(folder);
    StepRunner runner({
        ClickOn("ctl_9150"),
        [folder]() {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return false;
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog->nameFilters().size(), 2);
            EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("xml"));
            dialog->setDirectory(folder);
            // The name without an extension goes into the name field (set, not
            // typed, so that no completion list takes the Return), then Return.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return false;
            name->setFocus();
            name->setText(folder + QStringLiteral("/tinysave"));
            QTest::keyClick(name, Qt::Key_Return);
            return true;
        },
        []() { return NoOtherModal(); },
        ClickOn("wizCancel"),
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(runner.Finished());
    EXPECT_EQ(sheet.m_kindPage.m_strSaved, (folder + QStringLiteral("/tinysave.xml")).toUtf8().constData());
    QDir(folder).removeRecursively();
}

} // namespace
