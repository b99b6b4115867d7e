#include "ui/DlgBase.h"

#include <QAbstractSpinBox>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include "app/AppBase.h"
#include "app/Paths.h"
#include "ui/CButtonST.h"
#include "ui/ColorRef.h"
#include "ui/ControlFactory.h"
#include "ui/DialogTemplate.h"
#include "ui/ResourceIcons.h"
#include "ui/UiFonts.h"
#include "ui/WindowCapabilities.h"

namespace {

constexpr double kLayoutDpi = 120.0;

bool IsEditField(const QWidget* control) {
  return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QTextEdit*>(control) ||
         qobject_cast<const QAbstractSpinBox*>(control);
}

const UTSettings& Settings() { return GetApp().GetSettings(); }

// A view operation reached a dialog that is not a view: a programming slip.
void ShouldNotBeHere(QWidget* dialog) {
  QMessageBox::information(dialog, Paths::kAppName, QStringLiteral("shouldn't be here"));
}

const QFont& MadeOnce(std::optional<QFont>& font, const char* face, int cellHeight, int weight, bool italic = false) {
  if (!font) font = MakeCellFont(QString::fromLatin1(face), cellHeight, weight, italic);
  return *font;
}

}  // namespace

DlgBase::DlgBase(int templateId, QWidget* parent)
    : QDialog(parent),
      m_templateId(templateId) {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (dialogTemplate && dialogTemplate->child) {
    setWindowFlags(Qt::Widget);
  } else {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  }
  setMouseTracking(true);
  ApplyBackground();
  CreateControls();
}

void DlgBase::CreateControls() {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(m_templateId);
  if (!dialogTemplate) return;
  // Until the dialog is laid out for its own font, the controls stand where
  // the application's font would put them.
  const DlgFontScaler::BaseUnits units = DlgFontScaler::MeasureBaseUnits(font());
  // Each control owns its font, as the layout gives it one: a later change of
  // the window's font does not reach it.
  QFont ownFont = font();
  ownFont.setResolveMask(QFont::AllPropertiesResolved);
  resize(DlgFontScaler::DialogUnitsToPixels(QRect(0, 0, dialogTemplate->cx, dialogTemplate->cy), units).size());
  for (const DialogItem& item : dialogTemplate->items) {
    QWidget* control = CreateDlgItem(item, this);
    control->setFont(ownFont);
    control->setGeometry(DlgFontScaler::DialogUnitsToPixels(QRect(item.x, item.y, item.cx, item.cy), units));
    if (auto* button = qobject_cast<CButtonST*>(control)) {
      if (item.id == kIdOk) connect(button, &QAbstractButton::clicked, this, [this] { OnOK(); });
      if (item.id == kIdCancel) connect(button, &QAbstractButton::clicked, this, [this] { OnCancel(); });
    }
  }
}

const QFont& DlgBase::GetTitleFont() const { return MadeOnce(m_titleFont, "Times New Roman", 24, 700, true); }

const QFont& DlgBase::GetButtonFont() const { return MadeOnce(m_buttonFont, "Times New Roman", 20, 700); }

const QFont& DlgBase::GetTextFont() const { return MadeOnce(m_textFont, "Times New Roman", 18, 700); }

const QFont& DlgBase::GetCaptionButtonFont() const { return MadeOnce(m_captionButtonFont, "Calibri", 22, 700); }

QWidget* DlgBase::GetDlgItem(int id) const {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (DlgItemId(child) == id) return child;
  }
  return nullptr;
}

void DlgBase::Create() {
  if (m_initialised) return;
  m_initialised = true;
  OnInitDialog();
}

int DlgBase::DoModal() {
  Create();
  // Modal to its own window only: an application-modal dialog would block the
  // reminder pop-ups, which must take input whatever else is open.
  setWindowModality(Qt::WindowModal);
  const int result = exec() == kIdOk ? kIdOk : kIdCancel;
  // Without a window manager nobody else hands the keyboard back to the owner.
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) owner->activateWindow();
  return result;
}

bool DlgBase::OnInitDialog() { return InitDialogBase(m_templateId); }

bool DlgBase::InitDialogBase(int templateId) {
  if (m_layered) SetLayeredAlpha(0);  // the dialog fades itself in
  if (templateId != -1) m_fontScaler.ScaleDialog(this, templateId, kLayoutDpi);
  if (isWindow() && !testAttribute(Qt::WA_Moved)) CentreWindow();
  return true;
}

void DlgBase::CentreWindow() {
  QRect area;
  if (parentWidget()) {
    area = parentWidget()->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isEmpty()) return;
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void DlgBase::OnOK() { done(kIdOk); }

void DlgBase::OnCancel() { done(kIdCancel); }

void DlgBase::accept() { OnOK(); }

void DlgBase::reject() { OnCancel(); }

void DlgBase::OnAddItem() { ShouldNotBeHere(this); }

void DlgBase::OnDeleteItems() { ShouldNotBeHere(this); }

void DlgBase::OnEditItem() { ShouldNotBeHere(this); }

void DlgBase::RefreshList() { ShouldNotBeHere(this); }

void DlgBase::FocusList() {}

int DlgBase::SetLayeredAlpha(int alpha) {
  // Where opacity cannot change, the window stays as it appeared: opaque. The
  // platform is not asked, since it would complain at every step of a fade.
  if (m_layered && WindowCapabilities::Current().opacity) setWindowOpacity(qBound(0, alpha, 255) / 255.0);
  return 1;
}

QBrush DlgBase::OnCtlColorBase(const QWidget* control) const {
  if (control && IsEditField(control)) return control->palette().base();
  return ColorFromRef(Settings().GetClrBackground());
}

void DlgBase::ApplyBackground() {
  // Controls inherit these roles unless they choose their own colours.
  QPalette colors = palette();
  const QBrush background = OnCtlColorBase(this);
  colors.setBrush(QPalette::Window, background);
  colors.setBrush(QPalette::Button, background);
  setPalette(colors);
}

void DlgBase::InvalidateChildren() {
  ApplyBackground();
  for (QWidget* child : findChildren<QWidget*>()) child->update();
  update();
}

void DlgBase::StartTimer(int id, int milliseconds) {
  QTimer*& timer = m_timers[id];
  if (!timer) {
    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("timer%1").arg(id));
    connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
  }
  timer->start(milliseconds);
}

void DlgBase::KillTimer(int id) {
  const auto found = m_timers.find(id);
  if (found != m_timers.end()) found->second->stop();
}

void DlgBase::OnTimer(int id) {
  if (id == kTimerFadeIn) {
    // All steps at once: 0 up to 244; the next mouse move makes it opaque.
    for (int p = 0; p <= 100; p += 8) SetLayeredAlpha(p * 255 / 100);
    KillTimer(kTimerFadeIn);
  } else if (id == kTimerIdleFade) {
    KillTimer(kTimerIdleFade);
    for (int p = 100; p >= 30; --p) SetLayeredAlpha(p * 255 / 100);
  }
}

void DlgBase::FadeOut() {
  for (int p = 100; p >= 4; p -= 8) SetLayeredAlpha(p * 255 / 100);
}

void DlgBase::OnPaint(QPainter&) {}

void DlgBase::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), OnCtlColorBase(this));
  OnPaint(painter);
}

void DlgBase::setVisible(bool visible) {
  // Laid out and placed before the window first appears.
  if (visible) Create();
  QDialog::setVisible(visible);
}

void DlgBase::keyPressEvent(QKeyEvent* event) {
  // A page inside another window never closes on Enter or Escape.
  if (!isWindow()) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    for (auto* button : findChildren<CButtonST*>(Qt::FindDirectChildrenOnly)) {
      if (button->IsDefault() && button->isVisible() && button->isEnabled()) {
        button->click();
        return;
      }
    }
    OnOK();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DlgBase::mousePressEvent(QMouseEvent* event) {
  event->accept();  // a press never reaches the window behind this one
  if (!m_draggable || event->button() != Qt::LeftButton) return;
  // Where the program cannot place its windows, the compositor moves this one.
  if (isWindow() && !WindowCapabilities::Current().placement && windowHandle()) {
    windowHandle()->startSystemMove();
    return;
  }
  m_dragging = 1;
  m_pressPoint = event->position().toPoint();
}

void DlgBase::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (!m_draggable) return;
  m_dragging = 0;
}

void DlgBase::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!m_draggable) return;
  KillTimer(kTimerIdleFade);  // the pointer is back: no idle fade
  SetLayeredAlpha(255);
  // Only a press on the background drags; one that began on a control does not.
  if (!m_dragging) return;
  const QPoint topLeft = event->globalPosition().toPoint() - m_pressPoint;
  move(isWindow() || !parentWidget() ? topLeft : parentWidget()->mapFromGlobal(topLeft));
  update();
}

void DlgBase::leaveEvent(QEvent* event) {
  QDialog::leaveEvent(event);
  if (!m_draggable) return;
  m_dragging = 0;
  if (!Settings().GetTransparent()) return;
  // Leaving onto one of the dialog's own controls keeps it opaque.
  const QRect client(mapToGlobal(QPoint(0, 0)), size());
  if (!client.contains(QCursor::pos())) StartTimer(kTimerIdleFade, 3000);
}

void DlgBase::DrawFrameWith(QPainter& painter, int borderWidth, int inset) const {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  const int right = width();
  const int bottom = height();
  painter.setPen(QPen(ColorFromRef(Settings().GetClrBorder()), borderWidth));
  painter.drawPolyline(QPolygon({QPoint(0, 0), QPoint(right, 0), QPoint(right, bottom), QPoint(0, bottom), QPoint(0, 0)}));
  // The white inner line stops one pixel short of where it began.
  const int innerRight = right - inset;
  const int innerBottom = bottom - inset;
  painter.setPen(QPen(Qt::white, 2));
  painter.drawPolyline(QPolygon({QPoint(inset, inset), QPoint(innerRight, inset), QPoint(innerRight, innerBottom),
                                 QPoint(inset, innerBottom), QPoint(inset, inset - 1)}));
  painter.restore();
}

void DlgBase::DrawFrame(QPainter& painter) const { DrawFrameWith(painter, 3, 3); }

void DlgBase::DrawWideFrame(QPainter& painter) const { DrawFrameWith(painter, 10, 5); }

void DlgBase::DrawEmblem(QPainter& painter) const {
  const QPixmap emblem = ResourcePixmap(151);
  if (!emblem.isNull()) painter.drawPixmap(12, 12, emblem);
}
