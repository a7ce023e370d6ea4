// The coordinate-system sheet in real Qt widgets on the offscreen platform:
// one predefined and one user-defined path clicked through to Finish, the
// same two paths by keyboard alone, a system found by code or name by
// keyboard alone, the preview with its area of use, and drop-downs wide
// enough for their entries. Pictures of the window go to the test output
// folder, their paths printed.

#include "dialog/ZrSheetCoordSysSetting.h"
#include "dialog/qt/ZrQtBackend.h"
#include "interop/ZrInterop.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrUiBackend.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Each step is retried from the event loop until it reports done; after the
// time limit the sheet is cancelled so a broken test ends.
class Steps {
public:
    using Step = std::function<bool()>;
    static constexpr int kTimeoutMs = 20000;
    static constexpr int kPollMs = 10;

    explicit Steps(std::vector<Step> steps) : m_steps(std::move(steps)) {
        m_clock.start();
        Arm();
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    void Arm() {
        QTimer::singleShot(kPollMs, &m_context, [this] { Tick(); });
    }
    void Tick() {
        if (Finished()) return;
        if (m_clock.elapsed() > kTimeoutMs) {
            ADD_FAILURE() << "step " << m_next << " never completed";
            QWidget* w = CZrQtBackend::Instance().GetSheetWindow();
            if (auto* cancel = w ? w->findChild<QPushButton*>(QStringLiteral("wizCancel")) : nullptr)
                cancel->click();
            return;
        }
        if (m_steps[m_next]()) ++m_next;
        Arm();
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    QObject m_context;
    QElapsedTimer m_clock;
};

template <class T> T* Shown(const QString& name) {
    QWidget* w = CZrQtBackend::Instance().GetSheetWindow();
    if (!w || !w->isVisible()) return nullptr;
    for (T* widget : w->findChildren<T*>(name))
        if (widget->isVisible()) return widget;
    return nullptr;
}

QString Ctl(int id) {
    return QStringLiteral("ctl_%1").arg(id);
}

Steps::Step PageShown(int id) {
    return [id] { return Shown<QWidget>(QStringLiteral("page_%1").arg(id)) != nullptr; };
}

Steps::Step Click(const QString& name) {
    return [name] {
        QWidget* widget = Shown<QWidget>(name);
        if (!widget || !widget->isEnabled()) return false;
        const bool radio = qobject_cast<QRadioButton*>(widget) != nullptr;
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                          radio ? QPoint(6, widget->height() / 2) : widget->rect().center());
        return true;
    };
}

// Picks the entry as a user does: the list shows it and reports it activated.
Steps::Step Pick(int id, const char* text) {
    return [id, text] {
        auto* combo = Shown<QComboBox>(Ctl(id));
        if (!combo || !combo->isEnabled()) return false;
        const int index = combo->findText(QString::fromUtf8(text));
        EXPECT_GE(index, 0) << text;
        if (index < 0) return true;
        combo->setFocus();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    };
}

// A key as the user presses it: to the widget that has the focus.
Steps::Step Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return [key, modifiers] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !focus->isVisible()) return false;
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
        return true;
    };
}

// Letters typed in quick succession into the focused widget.
Steps::Step Keys(const char* text) {
    return [text] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !focus->isVisible()) return false;
        for (const QChar c : QString::fromUtf8(text)) {
            // Characters beyond ASCII come as an input method delivers them:
            // text without a key code.
            const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : 0;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(focus, &press);
            QApplication::sendEvent(focus, &release);
        }
        return true;
    };
}

Steps::Step FocusOn(int id) {
    return [id] {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->objectName() == Ctl(id);
    };
}

// Presses Tab until the control has the focus.
Steps::Step TabTo(int id) {
    return [id] {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->objectName() == Ctl(id)) return true;
        if (focus) QTest::keyClick(focus, Qt::Key_Tab);
        return false;
    };
}

// Saves a picture of the sheet's window into the test output folder and
// prints its path, so a reader of the test log can look at it.
Steps::Step Screenshot(const char* name) {
    return [name] {
        QWidget* w = CZrQtBackend::Instance().GetSheetWindow();
        if (!w || !w->isVisible()) return false;
        const QString dir = QStringLiteral(ZRPRJ_TEST_OUTPUT_DIR);
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + QString::fromUtf8(name) + QStringLiteral(".png");
        EXPECT_TRUE(w->grab().save(path)) << path.toStdString();
        std::printf("screenshot: %s\n", path.toUtf8().constData());
        return true;
    };
}

CZrPJCoordSys FromEpsg(long code) {
    CZrPJCoordSys cs;
    EXPECT_EQ(ZrCoordSysFromEpsg(code, cs), 1) << code;
    return cs;
}

class WizardQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        setenv("LC_ALL", "zh_CN.UTF-8", 1);
        CZrQtBackend::Install();
    }
    void TearDown() override {
        ZrSetUiBackend(nullptr);
        unsetenv("LC_ALL");
    }

    CZrSheetCoordSysSetting sheet{"坐标系统设置"};
};

TEST_F(WizardQtTest, PredefinedSystemChosenInTheRealWindow) {
    Steps steps({
        PageShown(6701),
        [] {
            auto* projected = Shown<QRadioButton>(Ctl(IDC_ZR_KIND_PROJECTED));
            EXPECT_TRUE(projected && projected->isChecked());
            EXPECT_EQ(projected->text(), QStringLiteral("投影坐标系(&J)"));
            return true;
        },
        Click(QStringLiteral("wizNext")),
        PageShown(6702),
        Pick(29902, "Sweden RT90"),
        Pick(29903, "RT90 5 gon W"),
        Click(QStringLiteral("wizFinish")),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(steps.Finished());
    EXPECT_EQ(sheet.m_coordSys.GetType(), 23063);
}

TEST_F(WizardQtTest, UserDefinedProjectionBuiltInTheRealWindow) {
    Steps steps({
        PageShown(6701),
        Pick(IDC_ZR_PRJ_SOURCE, "用户自定义投影系"),
        Click(QStringLiteral("wizNext")),
        PageShown(6703),
        Pick(29904, "Transverse_Mercator"),
        Pick(29906, "WGS 1984"),
        Click(QStringLiteral("wizNext")),
        PageShown(6704),
        Pick(29931, "50 "),
        Click(QStringLiteral("wizNext")),
        PageShown(6705),
        [] {
            QWidget* sample = Shown<QWidget>(Ctl(IDC_ZR_PREVIEW_SAMPLE));
            if (!sample) return false;
            const QImage shot = sample->grab().toImage();
            int green = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    green += shot.pixelColor(x, y) == QColor(0, 255, 0);
            EXPECT_GT(green, 0) << "the sample with its origin marker is shown";
            return true;
        },
        Click(QStringLiteral("wizFinish")),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(steps.Finished());
    const CZrPJCoordSys& cs = sheet.m_coordSys;
    EXPECT_EQ(cs.GetType(), PJ_CS_USER_DEFINED);
    EXPECT_EQ(cs.GetName(), CString("用户自定义投影系"));
    EXPECT_EQ(cs.GetProjection().GetType(), PJ_KIND_TRANSVERSE_MERCATOR);
    EXPECT_EQ(cs.GetGCS().GetType(), 4326);
    EXPECT_EQ(cs.GetParams().CentralMeridian, 117.0);
    EXPECT_TRUE(cs.IsValid());
}

// The predefined path by keyboard alone: the page opens with the focus on the
// checked radio button, Enter goes on, letters pick the family and the entry,
// Tab moves between the lists, Enter finishes.
TEST_F(WizardQtTest, PredefinedSystemChosenByKeyboardAlone) {
    Steps steps({
        PageShown(6701),
        FocusOn(IDC_ZR_KIND_PROJECTED),
        Key(Qt::Key_Return),
        PageShown(6702),
        FocusOn(29902),
        Keys("sweden rt"),
        Key(Qt::Key_Tab),
        FocusOn(29903),
        Keys("RT90 5"),
        [] {
            auto* entries = Shown<QComboBox>(Ctl(29903));
            return entries && entries->currentText() == QStringLiteral("RT90 5 gon W");
        },
        Key(Qt::Key_Enter, Qt::KeypadModifier),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(steps.Finished());
    EXPECT_EQ(sheet.m_coordSys.GetType(), 23063);
}

// The user-defined path by keyboard alone: Tab skips the unchecked radio
// buttons and the disabled lists, an arrow key moves inside the format group.
TEST_F(WizardQtTest, UserDefinedProjectionBuiltByKeyboardAlone) {
    Steps steps({
        PageShown(6701),
        FocusOn(IDC_ZR_KIND_PROJECTED),
        Key(Qt::Key_Tab),
        FocusOn(IDC_ZR_PRJ_SOURCE),
        Keys("用户"),
        Key(Qt::Key_Return),
        PageShown(6703),
        FocusOn(29904),
        Keys("trans"),
        Key(Qt::Key_Tab),
        Key(Qt::Key_Tab),
        FocusOn(29906),
        Keys("WGS 1984"),
        Key(Qt::Key_Return),
        PageShown(6704),
        FocusOn(IDC_ZR_PARAM_FORMAT_DEGREES),
        Key(Qt::Key_Left),
        [] {
            auto* dms = Shown<QRadioButton>(Ctl(IDC_ZR_PARAM_FORMAT_DMS));
            return dms && dms->isChecked() && dms->hasFocus() && Shown<QWidget>(Ctl(29934));
        },
        Key(Qt::Key_Tab),
        FocusOn(IDC_ZR_PARAM_ZONES),
        Keys("50"),
        Key(Qt::Key_Return),
        PageShown(6705),
        Key(Qt::Key_Return),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(steps.Finished());
    const CZrPJCoordSys& cs = sheet.m_coordSys;
    EXPECT_EQ(cs.GetType(), PJ_CS_USER_DEFINED);
    EXPECT_EQ(cs.GetProjection().GetType(), PJ_KIND_TRANSVERSE_MERCATOR);
    EXPECT_EQ(cs.GetGCS().GetType(), 4326);
    EXPECT_EQ(cs.GetParams().CentralMeridian, 117.0);
}

// A system found by keyboard alone: Tab to the search field, type a code or
// words of a name, Tab to the hits, the arrow key takes the first, Enter
// shows it on the preview, Enter again finishes with that system, whole.
TEST_F(WizardQtTest, SystemFoundByKeyboardAlone) {
    const struct {
        const char* typed;
        const char* code;
        long epsg;
        const char* searchShot;
        const char* previewShot;
    } cases[] = {
        {"4490", "EPSG:4490", 4490, "wizard_search_4490", "wizard_preview_4490"},
        {"Lambert 93", "EPSG:2154", 2154, "wizard_search_lambert93", "wizard_preview_found_lambert93"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CZrSheetCoordSysSetting sheet("坐标系统设置");
        Steps steps({
            PageShown(6701),
            FocusOn(IDC_ZR_KIND_PROJECTED),
            TabTo(IDC_ZR_KIND_SEARCH),
            Keys(c.typed),
            Key(Qt::Key_Tab),
            FocusOn(IDC_ZR_KIND_HITS),
            Key(Qt::Key_Down),
            [&c] {
                auto* hits = Shown<QComboBox>(Ctl(IDC_ZR_KIND_HITS));
                if (!hits) return false;
                EXPECT_TRUE(hits->currentText().startsWith(QString::fromUtf8(c.code) + QStringLiteral("  ")))
                    << hits->currentText().toStdString();
                return true;
            },
            Screenshot(c.searchShot),
            Key(Qt::Key_Return),
            PageShown(6705),
            Screenshot(c.previewShot),
            Key(Qt::Key_Return),
        });
        EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
        EXPECT_TRUE(steps.Finished());
        const CZrPJCoordSys expected = FromEpsg(c.epsg);
        EXPECT_TRUE(sheet.m_coordSys == expected);
        EXPECT_EQ(sheet.m_coordSys.GetName(), expected.GetName());
    }
}

// The preview of Lambert-93 in the real window: its name, its PROJ text
// read-only, Copy onto the desktop's clipboard, and its area of use (France)
// shaded on the world map.
TEST_F(WizardQtTest, PreviewShowsNameTextAndAreaOfUse) {
    sheet.m_coordSys = FromEpsg(2154);
    sheet.m_bPrjLoaded = 1;
    QApplication::clipboard()->clear();
    Steps steps({
        PageShown(6701),
        Click(QStringLiteral("wizNext")),
        PageShown(6703),
        Click(QStringLiteral("wizNext")),
        PageShown(6704),
        Click(QStringLiteral("wizNext")),
        PageShown(6705),
        [] {
            auto* name = Shown<QLabel>(Ctl(IDC_ZR_PREVIEW_NAME));
            auto* text = Shown<QLineEdit>(Ctl(IDC_ZR_PREVIEW_TEXT));
            QWidget* area = Shown<QWidget>(Ctl(IDC_ZR_PREVIEW_AREA));
            if (!name || !text || !area) return false;
            EXPECT_TRUE(name->text().contains(QStringLiteral("Lambert-93"))) << name->text().toStdString();
            EXPECT_TRUE(name->text().contains(QStringLiteral("EPSG:2154")));
            EXPECT_TRUE(text->isReadOnly());
            EXPECT_TRUE(text->text().startsWith(QStringLiteral("+proj=lcc"))) << text->text().toStdString();
            // The map: France tinted red somewhere right of the middle, and
            // far less of it than of the sea.
            const QImage map = area->grab().toImage();
            int tinted = 0;
            for (int y = 0; y < map.height(); ++y)
                for (int x = 0; x < map.width(); ++x) {
                    const QColor px = map.pixelColor(x, y);
                    tinted += px.red() > px.blue() + 40;
                }
            EXPECT_GT(tinted, 0);
            EXPECT_LT(tinted, map.width() * map.height() / 20);
            return true;
        },
        Click(Ctl(IDC_ZR_PREVIEW_COPY)),
        [] {
            auto* text = Shown<QLineEdit>(Ctl(IDC_ZR_PREVIEW_TEXT));
            return text && QApplication::clipboard()->text() == text->text();
        },
        Screenshot("wizard_preview_lambert93"),
        Click(QStringLiteral("wizFinish")),
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_TRUE(steps.Finished());
    EXPECT_TRUE(sheet.m_coordSys == FromEpsg(2154));
}

// Escape from a field its check refuses cancels the sheet, by keyboard alone,
// and so does the close box: no message stands in the way, as under Windows,
// where IDCANCEL does not move the focus.
TEST_F(WizardQtTest, EscapeOrTheCloseBoxFromAnInvalidFieldCancels) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Escape");
        CZrSheetCoordSysSetting sheet("坐标系统设置");
        sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(32650));
        int messages = 0;
        Steps steps({
            PageShown(6701),
            FocusOn(IDC_ZR_KIND_PROJECTED),
            Key(Qt::Key_Tab),
            FocusOn(IDC_ZR_PRJ_SOURCE),
            Keys("用户"),
            Key(Qt::Key_Return),
            PageShown(6703),
            // The geographic system, the datum and the spheroid the user's own,
            // so that the semi-major axis can be typed.
            TabTo(29906),
            Keys("user d"),
            TabTo(29909),
            Keys("user d"),
            TabTo(29910),
            Keys("user d"),
            TabTo(29911),
            Key(Qt::Key_A, Qt::ControlModifier),
            Key(Qt::Key_Backspace),
            [] {
                auto* edit = Shown<QLineEdit>(Ctl(29911));
                return edit && edit->text().isEmpty();
            },
            // Pressed from the event loop, so that a message it brings up does
            // not hold this step.
            [closeBox] {
                QTimer::singleShot(0, [closeBox] {
                    if (closeBox)
                        CZrQtBackend::Instance().GetSheetWindow()->close();
                    else
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                });
                return true;
            },
            // Where the fault is, a message comes up instead: it is counted and
            // closed, then the field is made valid and the sheet cancelled from
            // the model so that the test still ends.
            [&messages] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return false;
                ++messages;
                box->button(QMessageBox::Ok)->click();
                return true;
            },
            [&] {
                if (CWnd* axis = sheet.GetUserDefineFirstPage()->GetDlgItem(29911))
                    axis->SetWindowText("6378137");
                CZrUiInput::PressWizardButton(sheet, PSBTN_CANCEL);
                return true;
            },
        });
        // The sheet ends on the Escape, before the step that looks for a message.
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(messages, 0);
        EXPECT_EQ(sheet.m_coordSys.GetType(), 32650);
    }
}

// The flattening edit shows its whole value, from the first digit: Krasovsky's
// 0.00335232986925913 once showed as "5232986925913".
TEST_F(WizardQtTest, FlatteningEditShowsTheWholeValue) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(21420)); // Beijing 1954, Krasovsky
    QString shown;
    int cursor = -1, needed = 0, room = 0;
    Steps steps({
        PageShown(6701),
        FocusOn(IDC_ZR_KIND_PROJECTED),
        Key(Qt::Key_Tab),
        Keys("用户"),
        Key(Qt::Key_Return),
        PageShown(6703),
        // The spheroid's own values are editable once every part is the user's.
        Pick(29906, "User Define"),
        Pick(29909, "User Define"),
        Pick(29910, "User Define"),
        [&] {
            auto* edit = Shown<QLineEdit>(Ctl(29912));
            if (!edit || !edit->isEnabled()) return false;
            shown = edit->text();
            cursor = edit->cursorPosition();
            needed = edit->fontMetrics().horizontalAdvance(shown);
            // The frame and QLineEdit's own 2-pixel margin on each side.
            const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
            room = edit->width() - 2 * frame - 2 * 2;
            return true;
        },
        Click(QStringLiteral("wizCancel")),
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(steps.Finished());
    EXPECT_EQ(shown, QStringLiteral("0.00335232986925913"));
    EXPECT_EQ(cursor, 0) << "the edit shows its start";
    EXPECT_LE(needed, room) << "the whole value fits";
}

// Qt's own buttons, in a message box and in the file dialog, speak the user's
// language as the pages do, read again at each window; English where Qt has
// no catalogue for it.
TEST_F(WizardQtTest, QtsOwnButtonsSpeakTheUsersLanguage) {
    const struct {
        const char* locale;
        const char* cancel;
        const char* open;
    } cases[] = {
        {"zh_CN.UTF-8", "取消", "打开(&O)"},     {"ja_JP.UTF-8", "キャンセル", "開く(&O)"},
        {"de_DE.UTF-8", "Abbrechen", "&Öffnen"}, {"en_US.UTF-8", "Cancel", "&Open"},
        {"zh_CN.UTF-8", "取消", "打开(&O)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        setenv("LC_ALL", c.locale, 1);
        QString cancel, open;
        QTimer::singleShot(Steps::kPollMs, [&cancel] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            cancel = box->button(QMessageBox::Cancel)->text();
            box->button(QMessageBox::Cancel)->click();
        });
        EXPECT_EQ(AfxMessageBox("?", MB_OKCANCEL), IDCANCEL);
        EXPECT_EQ(cancel, QString::fromUtf8(c.cancel));

        QTimer::singleShot(Steps::kPollMs, [&open] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
                open = buttons->button(QDialogButtonBox::Open)->text();
            dialog->reject();
        });
        CFileDialog dlg(TRUE, nullptr, "", OFN_HIDEREADONLY, "XML(*.xml)|*.xml||", nullptr);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(open, QString::fromUtf8(c.open));
    }
}

// Each list's drop-down shows its longest entry whole, also where the closed
// list is narrower ("UTM Zone 1, Northern Hemisphere (WGS 1984) "). In the
// Windows style a drop-down is as narrow as its closed list unless told.
TEST_F(WizardQtTest, DropDownsAreAsWideAsTheirLongestEntry) {
    const QString previous = QApplication::style()->name();
    QStyle* style = QStyleFactory::create(QStringLiteral("Windows"));
    ASSERT_NE(style, nullptr);
    QApplication::setStyle(style);
    auto wideEnough = [] {
        QWidget* w = CZrQtBackend::Instance().GetSheetWindow();
        int checked = 0;
        for (QComboBox* combo : w->findChildren<QComboBox*>()) {
            if (!combo->isVisible() || combo->count() == 0) continue;
            int longest = 0;
            for (int i = 0; i < combo->count(); ++i)
                longest =
                    std::max(longest, combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)));
            combo->showPopup();
            const int shown = combo->view()->viewport()->width();
            combo->hidePopup();
            EXPECT_GE(shown, longest) << combo->objectName().toStdString();
            ++checked;
        }
        EXPECT_GT(checked, 0);
        return true;
    };
    Steps steps({
        PageShown(6701),
        wideEnough,
        Click(QStringLiteral("wizNext")),
        PageShown(6702),
        Pick(29902, "Universal Transverse Mercator( WGS 1984)"),
        wideEnough,
        Click(QStringLiteral("wizCancel")),
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(steps.Finished());
    QApplication::setStyle(previous);
}

} // namespace
