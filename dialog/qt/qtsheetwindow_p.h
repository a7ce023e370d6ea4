#pragma once

// The wizard window of the Qt back end: a page area with one view per created
// page, laid out from the page's controls, and the wizard buttons below.

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class CPropertySheet;
class CPropertyPage;
class CWnd;
class QPushButton;

namespace zrqt {

class SheetWindow;

// Shows an owner-drawn control's surface.
class SurfaceWidget : public QWidget {
public:
    explicit SurfaceWidget(QWidget* parent) : QWidget(parent) {}
    void setImage(const QImage& image);
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};

class PageView : public QWidget {
public:
    PageView(CPropertyPage& page, SheetWindow& owner, QWidget* parent);
    CPropertyPage& page() const { return m_page; }
    // Brings every widget in line with its control; rebuilds when the page's
    // controls changed in number.
    void sync();
    // The control behind a widget of this view, or nullptr.
    CWnd* controlOf(const QWidget* widget) const;
    QWidget* widgetOf(const CWnd* control) const;
    // The first widget Tab stops at that is not a push button, or nullptr.
    QWidget* firstFieldTabStop() const;

protected:
    // The keys a Windows dialog gives its controls: arrows inside a radio
    // group, letters typed in a list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Kind { PUSH, RADIO, CHECK, GROUP, OWNERDRAW, EDIT, LABEL, PICTURE, COMBO, OTHER };
    struct Slot {
        QWidget* widget;
        Kind kind;
        unsigned itemsVersion;
        bool itemsKnown;
    };
    void rebuild();
    QWidget* makeWidget(int index, CWnd& control, Kind& kind);
    void syncSlot(int index);
    CWnd* control(int index) const;
    void userDid();

    CPropertyPage& m_page;
    SheetWindow& m_owner;
    std::vector<Slot> m_slots;
    // The letters typed in a list so far, the list, and when the last came.
    QString m_typed;
    const QObject* m_typedIn = nullptr;
    QElapsedTimer m_lastTyped;
};

class SheetWindow : public QDialog {
public:
    explicit SheetWindow(CPropertySheet& sheet);
    ~SheetWindow() override;
    CPropertySheet& sheet() const { return m_sheet; }

    void pageCreated(CPropertyPage& page);
    void pageDestroyed(CPropertyPage& page);
    void sheetEnded();
    void focusTo(CWnd* control);
    // Something changed in the model: sync soon (and at the latest after the
    // current user action).
    void markDirty();
    void flush();
    bool syncing() const { return m_syncing; }
    void afterUserAction();

protected:
    void reject() override;
    // Enter presses the focused wizard button, else what the model says
    // (a focused push button of the page, or the default wizard button).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void press(int button);
    void syncButtons();
    void onFocusChanged(QWidget* now);

    CPropertySheet& m_sheet;
    QWidget* m_pageArea = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_cancel = nullptr;
    std::map<CPropertyPage*, PageView*> m_views;
    CWnd* m_focus = nullptr;
    bool m_dirty = false;
    bool m_flushQueued = false;
    bool m_syncing = false;
    bool m_ended = false;
    CPropertyPage* m_shownPage = nullptr;
};

// The text of a Windows label with its mnemonic markers taken out ("&P" shows
// "P", "&&" shows "&").
QString LabelText(const char* text);
QString FromUtf8(const char* text);

} // namespace zrqt
