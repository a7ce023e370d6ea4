// The coordinate-system sheet in real Qt widgets on the offscreen platform:
// one predefined and one user-defined path clicked through to Finish.

#include "dialog/ZrSheetCoordSysSetting.h"
#include "dialog/qt/ZrQtBackend.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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

} // namespace
