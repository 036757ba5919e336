// The Qt backend: one frameless QWindow per shown top-level window,
// painted from the layer's surface through a backing store; popups are
// tool-tip windows (override-redirect under X11) that never take focus;
// native input and window events become backend events; waiting happens in
// Qt's event dispatcher, which other threads wake.
#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <cstdlib>

#include "platform/backend/backend.h"
#include "platform/backend/qt_app.h"
#include "platform/backend/qt_keys.h"

namespace rtl::backend {
namespace {

class TQtBackend;

Qt::CursorShape ShapeOf(TCursorShape s) {
  switch (s) {
    case ncIBeam: return Qt::IBeamCursor;
    case ncWait: return Qt::WaitCursor;
    case ncCross: return Qt::CrossCursor;
    case ncUpArrow: return Qt::UpArrowCursor;
    case ncSizeNWSE: return Qt::SizeFDiagCursor;
    case ncSizeNESW: return Qt::SizeBDiagCursor;
    case ncSizeWE: return Qt::SizeHorCursor;
    case ncSizeNS: return Qt::SizeVerCursor;
    case ncSizeAll: return Qt::SizeAllCursor;
    case ncNo: return Qt::ForbiddenCursor;
    case ncHand: return Qt::PointingHandCursor;
    case ncAppStarting: return Qt::BusyCursor;
    case ncHelp: return Qt::WhatsThisCursor;
    case ncBlank: return Qt::BlankCursor;
    default: return Qt::ArrowCursor;
  }
}

int ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return 1;
    case Qt::MiddleButton: return 2;
    case Qt::BackButton: return 3;
    case Qt::ForwardButton: return 4;
    default: return 0;
  }
}

TRect RectOf(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
QRect QRectOf(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

QImage ImageOf(const TNativeImage& img) {
  QImage q(reinterpret_cast<const uchar*>(img.Pixels.data()), img.Width, img.Height, img.Width * 4,
           QImage::Format_ARGB32);
  return q.copy();
}

class TQtWindow : public QWindow {
 public:
  TQtWindow(TQtBackend* backend, uintptr_t cookie, const TNativeParams& p);
  QBackingStore Store{this};
  bool Drops = false;
  uint32_t Buttons = 0;  // pressed buttons, as bits of ButtonOf
  // While a test hands the window an event: the modifiers it says are
  // held (-1 when it does not say), in place of the Qt event's.
  bool Simulating = false;
  int SimulatedModifiers = -1;
  int ModifiersOf(Qt::KeyboardModifiers m) const;

 protected:
  bool event(QEvent* e) override;

 private:
  TQtBackend* backend_;
  uintptr_t cookie_;
  void Emit(TNativeEvent e);
  void Mouse(QMouseEvent* m, TNativeEventKind kind);
};

class TQtNativeWindow : public INativeWindow {
  TQtWindow* w_;

 public:
  explicit TQtNativeWindow(TQtWindow* w) : w_(w) {}
  ~TQtNativeWindow() override { delete w_; }
  void SetBounds(const TRect& r) override {
    if (w_->geometry() != QRectOf(r)) w_->setGeometry(QRectOf(r));
  }
  void Show(bool activate) override {
    if (!w_->isVisible()) w_->show();
    if (activate) Activate();
  }
  void Hide() override { w_->hide(); }
  void StackAbove(INativeWindow*) override {
    // The offscreen platform keeps no stacking order (and says so).
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w_->raise();
  }
  void SetTitle(const AnsiString& title) override { w_->setTitle(QString::fromUtf8(title.c_str())); }
  void SetIcon(const TNativeImage& icon) override { w_->setIcon(QIcon(QPixmap::fromImage(ImageOf(icon)))); }
  void SetOpacity(double opacity) override { w_->setOpacity(opacity); }
  void SetShape(const std::vector<TRect>& rects) override {
    QRegion r;
    for (const TRect& t : rects) r += QRectOf(t);
    w_->setMask(r);
  }
  void Flush(const void* bits, int width, int height, int stride, const TRect& damage, bool alpha) override {
    QRect r = QRectOf(damage).intersected(QRect(0, 0, width, height)).intersected(QRect(QPoint(), w_->size()));
    if (r.isEmpty()) return;
    if (w_->Store.size() != w_->size()) w_->Store.resize(w_->size());
    w_->Store.beginPaint(QRegion(r));
    {
      QPainter p(w_->Store.paintDevice());
      p.setCompositionMode(QPainter::CompositionMode_Source);
      QImage img(static_cast<const uchar*>(bits), width, height, stride,
                 alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
      p.drawImage(r.topLeft(), img, r);
    }
    w_->Store.endPaint();
    if (w_->isExposed()) w_->Store.flush(QRegion(r));
  }
  void SetCursor(TCursorShape shape, const TNativeImage* custom) override {
    if (shape == ncCustom && custom)
      w_->setCursor(QCursor(QPixmap::fromImage(ImageOf(*custom)), custom->HotX, custom->HotY));
    else
      w_->setCursor(QCursor(ShapeOf(shape)));
  }
  // Offscreen there is no pointer to grab (and the platform says so).
  void GrabPointer(bool grab) override {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w_->setMouseGrabEnabled(grab);
  }
  // Popups never take focus: asking Qt to activate one only draws a warning.
  void Activate() override {
    if (!(w_->flags() & Qt::WindowDoesNotAcceptFocus)) w_->requestActivate();
  }
  void SetState(TNativeState state) override {
    if (state == nsMinimized)
      w_->showMinimized();
    else if (w_->windowStates() & Qt::WindowMinimized)
      w_->showNormal();
  }
  void AcceptDrops(bool accept) override { w_->Drops = accept; }
  bool Simulate(const TNativeEvent& e) override;
};

Qt::MouseButton QtButtonOf(int button) {
  switch (button) {
    case 1: return Qt::RightButton;
    case 2: return Qt::MiddleButton;
    case 3: return Qt::BackButton;
    case 4: return Qt::ForwardButton;
    default: return Qt::LeftButton;
  }
}

// Builds the Qt event the display would have sent and sends it to the
// window, so that it goes through TQtWindow::event like real input.
bool TQtNativeWindow::Simulate(const TNativeEvent& e) {
  w_->Simulating = true;
  w_->SimulatedModifiers = e.Modifiers;
  struct TEnd {
    TQtWindow* W;
    ~TEnd() { W->Simulating = false; }
  } end{w_};
  QPointF global(e.Pos.X, e.Pos.Y);
  QPointF local = w_->mapFromGlobal(global.toPoint());
  Qt::MouseButtons held;
  for (int b = 0; b < 5; ++b)
    if (w_->Buttons & (1u << b)) held |= QtButtonOf(b);
  switch (e.Kind) {
    case neMouseMove: {
      QMouseEvent ev(QEvent::MouseMove, local, global, Qt::NoButton, held, Qt::NoModifier);
      return QCoreApplication::sendEvent(w_, &ev);
    }
    case neMouseDown:
    case neMouseUp: {
      Qt::MouseButton b = QtButtonOf(e.Button);
      bool down = e.Kind == neMouseDown;
      QMouseEvent ev(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, global, b,
                     down ? (held | b) : (held & ~Qt::MouseButtons(b)), Qt::NoModifier);
      return QCoreApplication::sendEvent(w_, &ev);
    }
    case neWheel: {
      QPoint angle = e.Horizontal ? QPoint(e.Delta, 0) : QPoint(0, e.Delta);
      QWheelEvent ev(local, global, QPoint(), angle, held, Qt::NoModifier, Qt::NoScrollPhase, false);
      return QCoreApplication::sendEvent(w_, &ev);
    }
    case neKeyDown:
    case neKeyUp: {
      QKeyEvent ev(e.Kind == neKeyDown ? QEvent::KeyPress : QEvent::KeyRelease, VkToQtKey(e.Vk), Qt::NoModifier, 0, 0,
                   0, QString::fromUtf8(e.Text.c_str()), e.AutoRepeat);
      return QCoreApplication::sendEvent(w_, &ev);
    }
    case neClose: {
      QCloseEvent ev;
      return QCoreApplication::sendEvent(w_, &ev);
    }
    default:
      return false;
  }
}

class TQtBackend : public IBackend {
 public:
  TEventHandler Handler;
  QAbstractEventDispatcher* Dispatcher = nullptr;

  TQtBackend() {
    Dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    QClipboard* cb = QGuiApplication::clipboard();
    QObject::connect(cb, &QClipboard::dataChanged, [this] { Emit(neClipboardChanged); });
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [this](Qt::ApplicationState s) {
      if (s != Qt::ApplicationActive) Emit(neFocusOut);
    });
    auto screens = [this] { Emit(neScreensChanged); };
    QObject::connect(qApp, &QGuiApplication::screenAdded, screens);
    QObject::connect(qApp, &QGuiApplication::screenRemoved, screens);
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, screens);
  }

  void Emit(TNativeEventKind kind) {
    TNativeEvent e;
    e.Kind = kind;
    if (Handler) Handler(e);
  }

  bool HasWindows() const override { return true; }
  std::unique_ptr<INativeWindow> CreateNativeWindow(const TNativeParams& params, uintptr_t cookie) override {
    return std::make_unique<TQtNativeWindow>(new TQtWindow(this, cookie, params));
  }
  void SetEventHandler(TEventHandler handler) override { Handler = std::move(handler); }
  void Wait(int timeoutMs) override {
    QTimer timer;
    if (timeoutMs >= 0) {
      timer.setSingleShot(true);
      timer.start(timeoutMs);
    }
    Dispatcher->processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
  }
  void ProcessEvents() override { Dispatcher->processEvents(QEventLoop::AllEvents); }
  void Wake() override { Dispatcher->wakeUp(); }
  std::vector<TScreenInfo> Screens() override {
    std::vector<TScreenInfo> r;
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* s : QGuiApplication::screens()) {
      TScreenInfo i;
      i.Bounds = RectOf(s->geometry());
      i.WorkArea = RectOf(s->availableGeometry());
      i.Primary = s == primary;
      i.Name = s->name().toStdString();
      i.Dpi = static_cast<int>(s->logicalDotsPerInch() + 0.5);
      r.push_back(i);
    }
    return r;
  }
  TPoint CursorPos() override {
    QPoint p = QCursor::pos();
    return TPoint(p.x(), p.y());
  }
  void SetCursorPos(const TPoint& p) override { QCursor::setPos(p.X, p.Y); }
  void Beep() override {}
  std::vector<AnsiString> ClipboardTypes() override {
    std::vector<AnsiString> r;
    if (const QMimeData* md = QGuiApplication::clipboard()->mimeData())
      for (const QString& f : md->formats()) r.push_back(f.toStdString());
    return r;
  }
  bool ClipboardData(const AnsiString& mime, std::string& data) override {
    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    QString type = QString::fromStdString(mime);
    if (!md || !md->hasFormat(type)) return false;
    QByteArray b = md->data(type);
    data.assign(b.constData(), static_cast<size_t>(b.size()));
    return true;
  }
  void SetClipboard(const std::vector<std::pair<AnsiString, std::string>>& content) override {
    auto* md = new QMimeData;
    for (auto& [mime, bytes] : content)
      md->setData(QString::fromStdString(mime), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(md);
  }
};

TQtWindow::TQtWindow(TQtBackend* backend, uintptr_t cookie, const TNativeParams& p)
    : backend_(backend), cookie_(cookie) {
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  switch (p.Kind) {
    case nkPopup: flags |= Qt::ToolTip | Qt::WindowDoesNotAcceptFocus; break;
    case nkTool: flags |= Qt::Tool; break;
    default: flags |= Qt::Window; break;
  }
  if (p.Topmost) flags |= Qt::WindowStaysOnTopHint;
  setFlags(flags);
  if (p.Alpha) {
    QSurfaceFormat f = format();
    f.setAlphaBufferSize(8);
    setFormat(f);
  }
  setTitle(QString::fromUtf8(p.Title.c_str()));
  setGeometry(QRectOf(p.Bounds));
}

void TQtWindow::Emit(TNativeEvent e) {
  e.Window = cookie_;
  if (backend_->Handler) backend_->Handler(e);
}

int TQtWindow::ModifiersOf(Qt::KeyboardModifiers m) const {
  if (Simulating) return SimulatedModifiers;
  return ((m & Qt::ShiftModifier) ? nmShift : 0) | ((m & Qt::ControlModifier) ? nmControl : 0) |
         ((m & Qt::AltModifier) ? nmAlt : 0);
}

void TQtWindow::Mouse(QMouseEvent* m, TNativeEventKind kind) {
  TNativeEvent e;
  e.Kind = kind;
  e.Modifiers = ModifiersOf(m->modifiers());
  QPoint g = m->globalPosition().toPoint();
  e.Pos = TPoint(g.x(), g.y());
  e.Button = ButtonOf(m->button());
  uint32_t bit = 1u << e.Button;
  if (kind == neMouseDown) {
    // Qt may report the second press of a double click as a double click
    // only: it is a press like any other here.
    if (Buttons & bit) return;
    Buttons |= bit;
  } else if (kind == neMouseUp) {
    Buttons &= ~bit;
  }
  Emit(e);
}

bool TQtWindow::event(QEvent* ev) {
  switch (ev->type()) {
    case QEvent::MouseMove:
      Mouse(static_cast<QMouseEvent*>(ev), neMouseMove);
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      Mouse(static_cast<QMouseEvent*>(ev), neMouseDown);
      return true;
    case QEvent::MouseButtonRelease:
      Mouse(static_cast<QMouseEvent*>(ev), neMouseUp);
      return true;
    case QEvent::Wheel: {
      auto* w = static_cast<QWheelEvent*>(ev);
      QPoint g = w->globalPosition().toPoint();
      QPoint d = w->angleDelta();
      for (int axis = 0; axis < 2; ++axis) {
        int delta = axis == 0 ? d.y() : d.x();
        if (!delta) continue;
        TNativeEvent e;
        e.Kind = neWheel;
        e.Pos = TPoint(g.x(), g.y());
        e.Delta = delta;
        e.Horizontal = axis == 1;
        Emit(e);
      }
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* k = static_cast<QKeyEvent*>(ev);
      TKeyCode code = QtKeyToVk(k->key(), (k->modifiers() & Qt::KeypadModifier) != 0, k->nativeScanCode());
      TNativeEvent e;
      e.Modifiers = ModifiersOf(k->modifiers());
      e.Kind = ev->type() == QEvent::KeyPress ? neKeyDown : neKeyUp;
      e.Vk = code.Vk;
      e.Scan = code.Scan;
      e.Extended = code.Extended;
      e.AutoRepeat = k->isAutoRepeat();
      if (e.Kind == neKeyDown) {
        e.Text = k->text().toStdString();
        e.HasText = true;
      }
      Emit(e);
      return true;
    }
    case QEvent::Expose: {
      if (!isExposed()) return true;
      TNativeEvent e;
      e.Kind = neExpose;
      e.Rect = TRect(0, 0, width(), height());
      Emit(e);
      return true;
    }
    case QEvent::Move:
    case QEvent::Resize: {
      if (ev->type() == QEvent::Resize) Store.resize(size());
      TNativeEvent e;
      e.Kind = ev->type() == QEvent::Move ? neMoved : neResized;
      e.Rect = RectOf(geometry());
      Emit(e);
      return QWindow::event(ev);
    }
    case QEvent::FocusIn: {
      TNativeEvent e;
      e.Kind = neFocusIn;
      Emit(e);
      return true;
    }
    case QEvent::Close: {
      // The window system decides: the window stays until it is destroyed.
      ev->ignore();
      TNativeEvent e;
      e.Kind = neClose;
      Emit(e);
      return true;
    }
    case QEvent::Leave:
      if (!QGuiApplication::topLevelAt(QCursor::pos())) {
        TNativeEvent e;
        e.Kind = neLeave;
        Emit(e);
      }
      return true;
    case QEvent::WindowStateChange: {
      TNativeEvent e;
      e.Kind = neStateChanged;
      e.State = (windowStates() & Qt::WindowMinimized) ? nsMinimized : nsNormal;
      Emit(e);
      return QWindow::event(ev);
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* d = static_cast<QDropEvent*>(ev);
      if (Drops && d->mimeData()->hasUrls())
        d->acceptProposedAction();
      else
        d->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* d = static_cast<QDropEvent*>(ev);
      if (!Drops || !d->mimeData()->hasUrls()) return true;
      TNativeEvent e;
      e.Kind = neDrop;
      QPoint g = mapToGlobal(d->position().toPoint());
      e.Pos = TPoint(g.x(), g.y());
      for (const QUrl& u : d->mimeData()->urls())
        if (u.isLocalFile()) e.Files.push_back(u.toLocalFile().toStdString());
      d->acceptProposedAction();
      if (!e.Files.empty()) Emit(e);
      return true;
    }
    default:
      return QWindow::event(ev);
  }
}

}  // namespace

std::unique_ptr<IBackend> CreateQtBackend() {
  // Under a Wayland session, X11 windows through its compatibility layer:
  // popups and capture need absolute positions and grabs.
  if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "xcb", 0);
  rtl::detail::EnsureQtApplication();
  if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread()))
    return nullptr;
  return std::make_unique<TQtBackend>();
}

bool WritePng(const AnsiString& path, const void* bits, int width, int height, int stride) {
  QImage img(static_cast<const uchar*>(bits), width, height, stride, QImage::Format_RGB32);
  return img.save(QString::fromStdString(path), "PNG");
}

}  // namespace rtl::backend
