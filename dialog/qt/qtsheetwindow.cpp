#include "dialog/qt/qtsheetwindow_p.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrDialogTemplate.h"
#include "platform/ui/ZrPropertySheet.h"
#include "platform/ui/ZrUiBackend.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace zrqt {

// The pixel size of the dialog font: the templates are laid out for an
// 8-point font at 96 dots per inch (13-pixel cells, 11-pixel glyphs).
static const int kFontPixelSize = 11;
// Space around the wizard buttons, in pixels.
static const int kButtonMargin = 8;

QString FromUtf8(const char* text) {
    return QString::fromUtf8(text ? text : "");
}

QString LabelText(const char* text) {
    QString in = FromUtf8(text), out;
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == QLatin1Char('&')) {
            if (i + 1 < in.size() && in[i + 1] == QLatin1Char('&')) out += QLatin1Char('&'), ++i;
            continue;
        }
        out += in[i];
    }
    return out;
}

static QImage ToQImage(const CZrImage& image) {
    if (image.IsEmpty()) return QImage();
    return QImage(image.GetBits(), image.GetWidth(), image.GetHeight(), image.GetWidth() * 3,
                  QImage::Format_RGB888)
        .copy();
}

static QString ControlName(const CWnd& control) {
    return control.GetDlgCtrlID() == IDC_STATIC ? QStringLiteral("ctl_static")
                                                : QStringLiteral("ctl_%1").arg(control.GetDlgCtrlID());
}

// ---------------------------------------------------------------------------
// SurfaceWidget
// ---------------------------------------------------------------------------
void SurfaceWidget::setImage(const QImage& image) {
    m_image = image;
    update();
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(240, 240, 240));
    if (!m_image.isNull()) painter.drawImage(0, 0, m_image);
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick();
}

// ---------------------------------------------------------------------------
// PageView
// ---------------------------------------------------------------------------
PageView::PageView(CPropertyPage& page, SheetWindow& owner, QWidget* parent)
    : QWidget(parent), m_page(page), m_owner(owner) {
    setObjectName(QStringLiteral("page_%1").arg(page.GetTemplateId()));
    RECT r;
    page.GetWindowRect(&r);
    setGeometry(0, 0, r.right - r.left, r.bottom - r.top);
    rebuild();
}

CWnd* PageView::control(int index) const {
    return m_page.GetChild(index);
}

CWnd* PageView::controlOf(const QWidget* widget) const {
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].widget == widget) return control(static_cast<int>(i));
    return nullptr;
}

QWidget* PageView::widgetOf(const CWnd* wnd) const {
    int index = m_page.GetChildIndex(wnd);
    return (index >= 0 && index < static_cast<int>(m_slots.size()))
               ? m_slots[static_cast<size_t>(index)].widget
               : nullptr;
}

void PageView::userDid() {
    m_owner.afterUserAction();
}

QWidget* PageView::makeWidget(int index, CWnd& wnd, Kind& kind) {
    // Each handler looks its control up again: a page may bind a member
    // control in place of the template's one at any time.
    auto ctl = [this, index]() { return control(index); };
    switch (wnd.GetWndClass()) {
    case ZRWC_BUTTON: {
        auto& button = static_cast<CButton&>(wnd);
        if (button.IsGroupBox()) {
            kind = GROUP;
            return new QGroupBox(this);
        }
        if (button.IsOwnerDrawn()) {
            kind = OWNERDRAW;
            auto* surface = new SurfaceWidget(this);
            surface->onClick = [this, ctl]() {
                if (CWnd* c = ctl()) CZrUiInput::Click(*c);
                userDid();
            };
            return surface;
        }
        QAbstractButton* widget;
        if (button.IsRadio()) {
            kind = RADIO;
            auto* radio = new QRadioButton(this);
            // The model moves a group's check; Qt must not do it too.
            radio->setAutoExclusive(false);
            radio->installEventFilter(this);
            widget = radio;
        } else if (button.IsCheckBox()) {
            kind = CHECK;
            widget = new QCheckBox(this);
        } else {
            kind = PUSH;
            widget = new QPushButton(this);
            static_cast<QPushButton*>(widget)->setAutoDefault(false);
        }
        QObject::connect(widget, &QAbstractButton::clicked, this, [this, ctl]() {
            if (CWnd* c = ctl()) CZrUiInput::Click(*c);
            userDid();
        });
        return widget;
    }
    case ZRWC_EDIT: {
        kind = EDIT;
        auto* edit = new QLineEdit(this);
        QObject::connect(edit, &QLineEdit::textEdited, this, [this, ctl](const QString& text) {
            if (auto* c = dynamic_cast<CEdit*>(ctl())) CZrUiInput::Edit(*c, text.toUtf8().constData());
            userDid();
        });
        return edit;
    }
    case ZRWC_COMBOBOX: {
        kind = COMBO;
        auto* combo = new QComboBox(this);
        combo->setMaxVisibleItems(20);
        combo->installEventFilter(this);
        QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, ctl](int i) {
            if (auto* c = dynamic_cast<CComboBox*>(ctl())) CZrUiInput::Select(*c, i);
            userDid();
        });
        return combo;
    }
    case ZRWC_STATIC: {
        auto* label = new QLabel(this);
        auto& picture = static_cast<CStatic&>(wnd);
        if ((picture.GetStyle() & SS_TYPEMASK) == SS_BITMAP) {
            kind = PICTURE;
            label->setScaledContents(true);
        } else {
            kind = LABEL;
            DWORD align = picture.GetStyle() & SS_TYPEMASK;
            label->setAlignment((align == SS_CENTER  ? Qt::AlignHCenter
                                 : align == SS_RIGHT ? Qt::AlignRight
                                                     : Qt::AlignLeft) |
                                Qt::AlignTop);
            label->setWordWrap(true);
        }
        return label;
    }
    default:
        kind = OTHER;
        return new QWidget(this);
    }
}

QWidget* PageView::firstFieldTabStop() const {
    for (const Slot& slot : m_slots) {
        QWidget* w = slot.widget;
        if (slot.kind != PUSH && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled())
            return w;
    }
    return nullptr;
}

bool PageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    CWnd* wnd = controlOf(static_cast<QWidget*>(watched));
    if (auto* radio = dynamic_cast<CButton*>(wnd); radio && radio->IsRadio()) {
        int step = 0;
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right) step = 1;
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left) step = -1;
        if (step == 0 || (key->modifiers() & ~Qt::KeypadModifier)) return false;
        CZrUiInput::MoveInGroup(*radio, step);
        userDid();
        return true;
    }
    if (auto* combo = dynamic_cast<CComboBox*>(wnd)) {
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        // Letters typed in quick succession search on together; after a pause
        // a new search begins, as in a Windows list.
        if (watched != m_typedIn || !m_lastTyped.isValid() ||
            m_lastTyped.elapsed() > QApplication::keyboardInputInterval())
            m_typed.clear();
        m_typedIn = watched;
        m_lastTyped.start();
        m_typed += text;
        CZrUiInput::TypeInList(*combo, m_typed.toUtf8().constData());
        userDid();
        return true;
    }
    return false;
}

void PageView::rebuild() {
    for (Slot& slot : m_slots)
        delete slot.widget;
    m_slots.clear();
    for (int i = 0; i < m_page.GetChildCount(); ++i) {
        Kind kind = OTHER;
        QWidget* widget = makeWidget(i, *control(i), kind);
        widget->setObjectName(ControlName(*control(i)));
        m_slots.push_back(Slot{widget, kind, 0, false});
    }
    // Frames go behind the controls they surround.
    for (Slot& slot : m_slots)
        if (slot.kind == GROUP || slot.kind == PICTURE) slot.widget->lower();
}

void PageView::sync() {
    if (static_cast<int>(m_slots.size()) != m_page.GetChildCount()) rebuild();
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
        syncSlot(i);
}

void PageView::syncSlot(int index) {
    Slot& slot = m_slots[static_cast<size_t>(index)];
    CWnd* wnd = control(index);
    if (!wnd) return;
    QWidget* widget = slot.widget;
    QSignalBlocker blocker(widget);
    RECT r;
    wnd->GetWindowRect(&r);
    widget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    widget->setEnabled(wnd->IsWindowEnabled());
    widget->setVisible((wnd->GetStyle() & WS_VISIBLE) != 0);
    if (widget->focusPolicy() != Qt::NoFocus)
        widget->setFocusPolicy(CZrUiInput::IsTabStop(*wnd) ? Qt::StrongFocus : Qt::ClickFocus);
    const CString& text = wnd->GetText();

    switch (slot.kind) {
    case PUSH:
        static_cast<QAbstractButton*>(widget)->setText(FromUtf8(text));
        break;
    case RADIO:
    case CHECK: {
        auto* button = static_cast<QAbstractButton*>(widget);
        button->setText(FromUtf8(text));
        int check = static_cast<CButton*>(wnd)->GetCheck();
        if (auto* box = dynamic_cast<QCheckBox*>(widget))
            box->setCheckState(check == BST_INDETERMINATE ? Qt::PartiallyChecked
                               : check                    ? Qt::Checked
                                                          : Qt::Unchecked);
        else
            button->setChecked(check == BST_CHECKED);
        break;
    }
    case GROUP:
        static_cast<QGroupBox*>(widget)->setTitle(LabelText(text));
        break;
    case OWNERDRAW:
        if (const CZrImage* surface = wnd->GetSurface())
            static_cast<SurfaceWidget*>(widget)->setImage(ToQImage(*surface));
        break;
    case EDIT: {
        auto* edit = static_cast<QLineEdit*>(widget);
        QString value = FromUtf8(text);
        if (edit->text() != value) {
            int cursor = edit->cursorPosition();
            edit->setText(value);
            // Text set by the program shows from its start, as a Windows edit
            // shows it: a long number scrolled to its end reads as another
            // number ("5232986925913" for a flattening of 0.00335232986925913).
            edit->setCursorPosition(edit->hasFocus() ? std::min(cursor, static_cast<int>(value.size())) : 0);
        }
        edit->setReadOnly((wnd->GetStyle() & ES_READONLY) != 0);
        break;
    }
    case LABEL:
        static_cast<QLabel*>(widget)->setText(LabelText(text));
        break;
    case PICTURE: {
        const CZrImage* bitmap = ZrFindBitmap(static_cast<CStatic*>(wnd)->GetImageId());
        static_cast<QLabel*>(widget)->setPixmap(bitmap ? QPixmap::fromImage(ToQImage(*bitmap)) : QPixmap());
        break;
    }
    case COMBO: {
        auto* combo = static_cast<QComboBox*>(widget);
        auto* list = static_cast<CComboBox*>(wnd);
        if (!slot.itemsKnown || slot.itemsVersion != list->GetItemsVersion()) {
            QStringList items;
            CString entry;
            for (int i = 0; i < list->GetCount(); ++i) {
                list->GetLBText(i, entry);
                items << FromUtf8(entry);
            }
            combo->clear();
            combo->addItems(items);
            // The drop-down is at least as wide as its longest entry, as
            // CB_SETDROPPEDWIDTH makes it under Windows: a narrow closed list
            // would otherwise cut "UTM Zone 1, Northern Hemisphere (WGS 1984)".
            const QFontMetrics metrics(combo->view()->font());
            int longest = 0;
            for (const QString& item : items)
                longest = std::max(longest, metrics.horizontalAdvance(item));
            const int chrome = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                               4 * combo->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                               2 * metrics.averageCharWidth();
            combo->view()->setMinimumWidth(longest + chrome);
            slot.itemsVersion = list->GetItemsVersion();
            slot.itemsKnown = true;
        }
        combo->setCurrentIndex(list->GetCurSel());
        // The closed list shows as much as its width allows; the whole entry
        // is one hover away.
        combo->setToolTip(combo->currentText());
        break;
    }
    case OTHER:
        break;
    }
}

// ---------------------------------------------------------------------------
// SheetWindow
// ---------------------------------------------------------------------------
SheetWindow::SheetWindow(CPropertySheet& sheet) : m_sheet(sheet) {
    setObjectName(QStringLiteral("sheet"));
    QFont font = this->font();
    font.setPixelSize(kFontPixelSize);
    setFont(font);

    RECT r;
    sheet.GetWindowRect(&r);
    m_pageArea = new QWidget(this);
    m_pageArea->setObjectName(QStringLiteral("pageArea"));
    m_pageArea->setFixedSize(std::max(r.right - r.left, 1), std::max(r.bottom - r.top, 1));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    // The texts of the Chinese wizard, whose pages these are.
    m_back = new QPushButton(QStringLiteral("< 上一步(&B)"), this);
    m_next = new QPushButton(QStringLiteral("下一步(&N) >"), this);
    m_finish = new QPushButton(QStringLiteral("完成"), this);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_back->setObjectName(QStringLiteral("wizBack"));
    m_next->setObjectName(QStringLiteral("wizNext"));
    m_finish->setObjectName(QStringLiteral("wizFinish"));
    m_cancel->setObjectName(QStringLiteral("wizCancel"));
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel})
        b->setAutoDefault(false);
    connect(m_back, &QPushButton::clicked, this, [this]() { press(PSBTN_BACK); });
    connect(m_next, &QPushButton::clicked, this, [this]() { press(PSBTN_NEXT); });
    connect(m_finish, &QPushButton::clicked, this, [this]() { press(PSBTN_FINISH); });
    connect(m_cancel, &QPushButton::clicked, this, [this]() { press(PSBTN_CANCEL); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(m_finish);
    buttons->addSpacing(kButtonMargin);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, kButtonMargin);
    layout->addWidget(m_pageArea);
    layout->addWidget(line);
    auto* padded = new QHBoxLayout;
    padded->setContentsMargins(kButtonMargin, 0, kButtonMargin, 0);
    padded->addLayout(buttons);
    layout->addLayout(padded);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (CPropertyPage* page = sheet.GetPage(i); page && page->IsWindow()) pageCreated(*page);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
    flush();
}

SheetWindow::~SheetWindow() = default;

void SheetWindow::pageCreated(CPropertyPage& page) {
    if (m_views.count(&page)) return;
    auto* view = new PageView(page, *this, m_pageArea);
    view->hide();
    m_views[&page] = view;
    markDirty();
}

void SheetWindow::pageDestroyed(CPropertyPage& page) {
    auto it = m_views.find(&page);
    if (it == m_views.end()) return;
    // A handler of one of its widgets may be running: let Qt delete it later.
    it->second->hide();
    it->second->deleteLater();
    m_views.erase(it);
    markDirty();
}

void SheetWindow::sheetEnded() {
    if (m_ended) return;
    m_ended = true;
    // done() only ends the event loop; the model has already chosen the result.
    QTimer::singleShot(0, this, [this]() { QDialog::done(QDialog::Accepted); });
}

void SheetWindow::focusTo(CWnd* control) {
    m_focus = control;
    markDirty();
}

void SheetWindow::markDirty() {
    m_dirty = true;
    if (m_flushQueued) return;
    m_flushQueued = true;
    QTimer::singleShot(0, this, [this]() {
        m_flushQueued = false;
        flush();
    });
}

void SheetWindow::afterUserAction() {
    // A widget may show what the model refused (a radio unchecked by Qt, a
    // refused keystroke): bring everything back in line.
    m_dirty = true;
    flush();
}

void SheetWindow::flush() {
    if (!m_dirty || m_syncing) return;
    m_syncing = true;
    m_dirty = false;
    // Where the user was before the pages are shown and hidden (Qt moves the
    // focus away from a widget it hides).
    QWidget* before = QApplication::focusWidget();
    CPropertyPage* active = m_sheet.GetActivePage();
    QString title = m_sheet.GetTitle().IsEmpty() || !active ? QString() : FromUtf8(m_sheet.GetTitle());
    if (active) {
        CString caption = active->GetCaption();
        if (!caption.IsEmpty()) title = FromUtf8(caption);
    }
    if (title.isEmpty()) title = FromUtf8(m_sheet.GetTitle());
    setWindowTitle(title);
    for (auto& [page, view] : m_views) {
        view->sync();
        view->setVisible(page == active && page->IsWindowVisible());
    }
    syncButtons();
    // The widget of the control the model gave the focus, if it is one.
    QWidget* target = nullptr;
    if (m_focus) {
        for (auto& [page, view] : m_views)
            if (QWidget* w = view->widgetOf(m_focus)) target = w;
        m_focus = nullptr;
    }
    // A page just shown takes the focus at its first field unless the user
    // is on a wizard button, as a Windows wizard does after Next; the model
    // hears of it as of any focus the user moves. A page without a field
    // (only push buttons, such as Save) leaves the focus on the default
    // wizard button, so that Enter goes on rather than opening a file dialog.
    bool tellModel = false;
    if (active != m_shownPage) {
        m_shownPage = active;
        const bool onButton =
            before == m_back || before == m_next || before == m_finish || before == m_cancel;
        auto view = m_views.find(active);
        if (!target && !onButton && view != m_views.end() &&
            (!before || !view->second->isAncestorOf(before))) {
            target = view->second->firstFieldTabStop();
            tellModel = target != nullptr;
            if (!target) target = m_sheet.GetDefaultButton() == PSBTN_FINISH ? m_finish : m_next;
        }
    }
    if (target) target->setFocus(Qt::OtherFocusReason);
    m_syncing = false;
    if (tellModel) onFocusChanged(target);
}

void SheetWindow::syncButtons() {
    m_back->setEnabled(m_sheet.IsButtonEnabled(PSBTN_BACK));
    m_next->setVisible(m_sheet.IsButtonShown(PSBTN_NEXT));
    m_next->setEnabled(m_sheet.IsButtonEnabled(PSBTN_NEXT));
    m_finish->setVisible(m_sheet.IsButtonShown(PSBTN_FINISH));
    m_finish->setEnabled(m_sheet.IsButtonEnabled(PSBTN_FINISH));
    // The default button, drawn as such, is the one Enter presses.
    const bool finish = m_sheet.GetDefaultButton() == PSBTN_FINISH;
    m_finish->setDefault(finish);
    m_next->setDefault(!finish);
}

void SheetWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier)) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    QWidget* now = QApplication::focusWidget();
    if (now == m_back || now == m_next || now == m_finish || now == m_cancel) {
        static_cast<QPushButton*>(now)->click();
        return;
    }
    CZrUiInput::PressEnter(m_sheet);
    afterUserAction();
}

void SheetWindow::press(int button) {
    CZrUiInput::PressWizardButton(m_sheet, button);
    afterUserAction();
}

void SheetWindow::reject() {
    // Escape and the window's close box ask the model, which may refuse.
    press(PSBTN_CANCEL);
}

void SheetWindow::onFocusChanged(QWidget* now) {
    if (m_syncing || !now) return;
    for (auto& [page, view] : m_views) {
        if (CWnd* control = view->controlOf(now)) {
            if (CWnd::GetFocus() != control) {
                CZrUiInput::Focus(*control);
                afterUserAction();
            }
            return;
        }
    }
}

} // namespace zrqt
