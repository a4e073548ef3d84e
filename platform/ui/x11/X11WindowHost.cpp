#include "platform/ui/x11/X11WindowHost.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/KeyboardInput.h"
#include "platform/ui/RedrawRegion.h"
#include "platform/ui/Touch.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/DisplayScale.h"
#include "platform/ui/x11/KeyTranslation.h"
#include "platform/ui/x11/X11ErrorTrap.h"
#include "platform/ui/x11/TouchTranslator.h"
#include "platform/ui/x11/X11EventWatcher.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <cairo.h>

namespace Platform {

namespace {

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The interval of the clock that lets long presses begin while fingers rest.
constexpr double kTouchClockInterval = 1.0 / 30.0;

} // namespace

struct X11WindowHost::Impl {
    Impl(std::shared_ptr<Window> w, Options o, RunLoop& l)
        : window(std::move(w)), options(std::move(o)), loop(l), touches(*window, 1), keyboard(*window)
    {
    }

    std::shared_ptr<Window> window;
    Options options;
    RunLoop& loop;
    TouchTranslator touches;
    KeyboardInput keyboard;
    std::string error;

    Display* display = nullptr;
    ::Window xwindow = 0;
    // The host's window this one lives in, while it has not yet reached the server (the window
    // then waits under the root window, unmapped, and moves in as soon as it exists).
    ::Window pendingParent = 0;
    // The parent's size as last followed.
    int parentWidth = 0;
    int parentHeight = 0;
    Visual* visual = nullptr;
    Atom wmDeleteWindow = 0;
    int xiOpcode = -1;
    XIM inputMethod = nullptr;
    XIC inputContext = nullptr;
    double scale = 1;
    int pixelWidth = 0;
    int pixelHeight = 0;

    cairo_surface_t* backBuffer = nullptr;
    // The back buffer's pixels as the server reads them (shared, not copied).
    XImage* image = nullptr;
    GC gc = nullptr;
    int depth = 24;
    bool backBufferValid = false;
    // Drawing waits for the first expose: what is drawn before the window shows is lost.
    bool viewable = false;
    // The window went with its parent (a plug-in host closed its editor's window first).
    bool windowGone = false;
    InvalidRegion exposed;

    std::function<void()> closeHandler;
    std::unique_ptr<X11EventWatcher> watcher;
    std::shared_ptr<Timer> frameTimer;
    std::shared_ptr<Timer> touchClock;
    double lastFrameTime = -1;
    std::uint64_t frames = 0;
    double lastFramePixels = 0;
    // Posted blocks and timers outlive the host only as far as this token lets them.
    std::shared_ptr<Impl*> alive = std::make_shared<Impl*>(this);

    bool open();
    ::Window createWindow(::Window parent);
    void enterParent();
    bool moveIntoParent();
    void openInputMethod();
    void selectTouchEvents();
    void makeBuffers();
    void releaseBuffers();

    void processEventsAndRearm();
    void processPending();
    void handle(XEvent& event);
    void handleGeneric(XEvent& event);
    void handleKey(XEvent& event, bool pressed);
    void resized(int width, int height);
    void parentResized(int width, int height);
    void afterInput();

    void scheduleFrame();
    void frameDue();
    void draw();
    void present(std::vector<Rect> const& pixelRects);
    void updateTouchClock();

    template <typename F>
    std::function<void()> guarded(F f)
    {
        return [token = std::weak_ptr<Impl*>(alive), f] {
            if (auto self = token.lock())
                f(**self);
        };
    }
};

bool X11WindowHost::Impl::open()
{
    display = XOpenDisplay(options.displayName.empty() ? nullptr : options.displayName.c_str());
    if (!display) {
        error = "cannot open the X display";
        return false;
    }
    scale = options.scale > 0 ? options.scale : X11::displayScale(display);
    touches.setScale(scale);
    int const screen = DefaultScreen(display);
    visual = DefaultVisual(display, screen);
    depth = DefaultDepth(display, screen);
    if (visual->c_class != TrueColor || depth < 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00
        || visual->blue_mask != 0xFF) {
        error = "the X display has no 24-bit true-colour visual";
        XCloseDisplay(display);
        display = nullptr;
        return false;
    }
    Size const points = window->bounds().size;
    pixelWidth = std::max(1, static_cast<int>(std::lround(points.width * scale)));
    pixelHeight = std::max(1, static_cast<int>(std::lround(points.height * scale)));

    xwindow = options.parent ? 0 : createWindow(RootWindow(display, screen));
    if (!options.parent) {
        XStoreName(display, xwindow, options.title.c_str());
        Atom const netName = XInternAtom(display, "_NET_WM_NAME", False);
        Atom const utf8 = XInternAtom(display, "UTF8_STRING", False);
        XChangeProperty(display, xwindow, netName, utf8, 8, PropModeReplace,
                        reinterpret_cast<unsigned char const*>(options.title.data()),
                        static_cast<int>(options.title.size()));
        wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, xwindow, &wmDeleteWindow, 1);
    }
    if (options.parent)
        enterParent();
    // Also on a child window: tools and tests find the editor inside a host's windows by it.
    XClassHint hint{const_cast<char*>("corvane"), const_cast<char*>("Corvane")};
    XSetClassHint(display, xwindow, &hint);
    if (options.parent) {
        // Embedding toolkits (suil) read the natural size from the base size.
        XSizeHints sizeHints{};
        sizeHints.flags = PBaseSize;
        sizeHints.base_width = pixelWidth;
        sizeHints.base_height = pixelHeight;
        XSetWMNormalHints(display, xwindow, &sizeHints);
    }
    selectTouchEvents();
    openInputMethod();
    gc = XCreateGC(display, xwindow, 0, nullptr);
    makeBuffers();
    if (!pendingParent)
        XMapWindow(display, xwindow);
    XFlush(display);

    window->setInvalidationHandler(guarded([](Impl& self) { self.scheduleFrame(); }));
    // What the tree asked for before the host came is drawn by the first frame.
    window->invalidateAll();
    scheduleFrame();
    watcher = std::make_unique<X11EventWatcher>(ConnectionNumber(display), loop,
                                                guarded([](Impl& self) {
                                                    self.processEventsAndRearm();
                                                }));
    return true;
}

::Window X11WindowHost::Impl::createWindow(::Window parent)
{
    XSetWindowAttributes attributes{};
    // No background: the server never paints over the picture before an expose is answered.
    attributes.background_pixmap = None;
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask
        | Button1MotionMask | KeyPressMask | KeyReleaseMask | LeaveWindowMask | FocusChangeMask;
    return XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(pixelWidth), static_cast<unsigned>(pixelHeight),
                         0, CopyFromParent, InputOutput, visual, CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
}

// A host may hand over a window it has made on its own connection but not yet sent to the server
// (a toolkit's plug before its first flush): a window made inside it then fails, and the error
// would end the host. The editor's window must exist at once, since the host asks for its size
// next, so it is made under the root window and moves into the host's window once that exists.
void X11WindowHost::Impl::enterParent()
{
    {
        X11::ErrorTrap trap(display);
        xwindow = createWindow(options.parent);
        if (trap.sync() == 0) {
            // The editor follows the size of the window it lives in.
            XSelectInput(display, options.parent, StructureNotifyMask);
            XWindowAttributes parentAttributes{};
            XGetWindowAttributes(display, options.parent, &parentAttributes);
            if (trap.sync() == 0) {
                parentWidth = parentAttributes.width;
                parentHeight = parentAttributes.height;
                return;
            }
        }
    }
    xwindow = createWindow(RootWindow(display, DefaultScreen(display)));
    pendingParent = options.parent;
}

bool X11WindowHost::Impl::moveIntoParent()
{
    X11::ErrorTrap trap(display);
    XReparentWindow(display, xwindow, pendingParent, 0, 0);
    XSelectInput(display, pendingParent, StructureNotifyMask);
    if (trap.sync() != 0)
        return false;
    pendingParent = 0;
    // Its size changes while the window waited went unseen: the window takes its size now.
    XWindowAttributes parentAttributes{};
    if (XGetWindowAttributes(display, options.parent, &parentAttributes) != 0)
        parentResized(parentAttributes.width, parentAttributes.height);
    XMapWindow(display, xwindow);
    return true;
}

void X11WindowHost::Impl::selectTouchEvents()
{
    int event = 0, errorBase = 0;
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &errorBase)) {
        xiOpcode = -1;
        return;
    }
    int major = 2, minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2 || (major == 2 && minor < 2)) {
        xiOpcode = -1;
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_TouchBegin);
    XISetMask(bits, XI_TouchUpdate);
    XISetMask(bits, XI_TouchEnd);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, xwindow, &mask, 1);
}

void X11WindowHost::Impl::openInputMethod()
{
    // Without an input method (no locale support) keys still type through their symbols.
    inputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
    if (!inputMethod)
        return;
    inputContext = XCreateIC(inputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                             xwindow, XNFocusWindow, xwindow, nullptr);
}

void X11WindowHost::Impl::makeBuffers()
{
    releaseBuffers();
    backBuffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
    // Cairo's ARGB32 is 32-bit native-endian words with red in bits 16–23: a 24-bit TrueColor
    // ZPixmap of 32 bits per pixel with the same masks. Xlib converts the byte order when the
    // server's differs.
    image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                         reinterpret_cast<char*>(cairo_image_surface_get_data(backBuffer)),
                         static_cast<unsigned>(pixelWidth), static_cast<unsigned>(pixelHeight), 32,
                         cairo_image_surface_get_stride(backBuffer));
    if (image) {
        image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
        image->bitmap_bit_order = image->byte_order;
    }
    backBufferValid = false;
}

void X11WindowHost::Impl::releaseBuffers()
{
    if (image) {
        image->data = nullptr;  // the pixels are the back buffer's
        XDestroyImage(image);
        image = nullptr;
    }
    if (backBuffer)
        cairo_surface_destroy(backBuffer);
    backBuffer = nullptr;
}

// ---- events

void X11WindowHost::Impl::processEventsAndRearm()
{
    auto keep = alive;
    processPending();
    if (*keep && watcher)
        watcher->rearm();
}

void X11WindowHost::Impl::processPending()
{
    if (!display)
        return;
    // Hold the token: a handler (closing the window) may destroy the host.
    auto keep = alive;
    if (pendingParent)
        moveIntoParent();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (XFilterEvent(&event, None))
            continue;
        handle(event);
        if (!*keep)
            return;
    }
    if (!exposed.isEmpty()) {
        if (backBufferValid)
            present(exposed.pixelRects(1, pixelWidth, pixelHeight));
        else
            window->invalidateAll();
        exposed.clear();
    }
    XFlush(display);
}

void X11WindowHost::Impl::handle(XEvent& event)
{
    double const time = now();
    switch (event.type) {
    case Expose:
        exposed.add(Rect(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height));
        if (!viewable) {
            viewable = true;
            scheduleFrame();
        }
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == xwindow)
            resized(event.xconfigure.width, event.xconfigure.height);
        else if (event.xconfigure.window == static_cast<::Window>(options.parent))
            parentResized(event.xconfigure.width, event.xconfigure.height);
        break;
    case ButtonPress:
        if (event.xbutton.button == Button1) {
            if (options.parent)
                XSetInputFocus(display, xwindow, RevertToParent, event.xbutton.time);
            touches.buttonPressed(event.xbutton.x, event.xbutton.y, time);
            if (Touch* t = touches.lastBegan())
                keyboard.touchedView(t->view());
            afterInput();
        }
        break;
    case MotionNotify:
        // Only the newest position of a burst matters.
        while (XCheckTypedWindowEvent(display, xwindow, MotionNotify, &event)) {
        }
        touches.pointerMoved(event.xmotion.x, event.xmotion.y, time);
        afterInput();
        break;
    case ButtonRelease:
        if (event.xbutton.button == Button1) {
            touches.buttonReleased(event.xbutton.x, event.xbutton.y, time);
            afterInput();
        }
        break;
    case LeaveNotify:
        // Another client grabbed the pointer: the finger is gone without lifting.
        if (event.xcrossing.mode == NotifyGrab && touches.mouseTouchActive()) {
            touches.cancelAll(time);
            afterInput();
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window != xwindow)
            break;  // the host's window: ours goes with it and says so
        windowGone = true;
        [[fallthrough]];
    case UnmapNotify:
        if (event.xany.window != xwindow)
            break;
        viewable = false;
        touches.cancelAll(time);
        keyboard.setAltDown(false);
        afterInput();
        break;
    case FocusOut:
        // Alt released elsewhere never reaches us.
        keyboard.setAltDown(false);
        break;
    case KeyPress:
    case KeyRelease:
        handleKey(event, event.type == KeyPress);
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow && closeHandler)
            closeHandler();
        break;
    case GenericEvent:
        handleGeneric(event);
        break;
    default:
        break;
    }
}

void X11WindowHost::Impl::handleGeneric(XEvent& event)
{
    if (event.xcookie.extension != xiOpcode || !XGetEventData(display, &event.xcookie))
        return;
    auto const* e = static_cast<XIDeviceEvent const*>(event.xcookie.data);
    touches.handle(XITouchEvent{e->evtype, e->detail, e->event_x, e->event_y}, now());
    if (Touch* t = touches.lastBegan())
        keyboard.touchedView(t->view());
    XFreeEventData(display, &event.xcookie);
    afterInput();
}

void X11WindowHost::Impl::handleKey(XEvent& event, bool pressed)
{
    char buffer[64];
    KeySym keysym = NoSymbol;
    std::string text;
    if (pressed && inputContext) {
        Status status = 0;
        int const n = Xutf8LookupString(inputContext, &event.xkey, buffer, sizeof buffer - 1, &keysym, &status);
        if ((status == XLookupChars || status == XLookupBoth) && n > 0)
            text.assign(buffer, static_cast<std::size_t>(n));
    } else {
        XLookupString(&event.xkey, buffer, sizeof buffer - 1, &keysym, nullptr);
    }
    if (pressed && !inputContext)
        text = X11::textForKeysym(keysym);
    X11::applyKey(keyboard, keysym, text, pressed);
}

void X11WindowHost::Impl::afterInput()
{
    updateTouchClock();
}

void X11WindowHost::Impl::updateTouchClock()
{
    bool const fingersDown = !window->activeTouches().empty();
    if (fingersDown && !touchClock) {
        touchClock = loop.scheduledTimer(kTouchClockInterval, true, [token = std::weak_ptr<Impl*>(alive)](Timer&) {
            if (auto self = token.lock())
                (*self)->window->advanceTime(now());
        });
    } else if (!fingersDown && touchClock) {
        touchClock->invalidate();
        touchClock.reset();
    }
}

void X11WindowHost::Impl::resized(int width, int height)
{
    if (width == pixelWidth && height == pixelHeight)
        return;
    pixelWidth = std::max(1, width);
    pixelHeight = std::max(1, height);
    makeBuffers();
    window->resizeTo(Size{pixelWidth / scale, pixelHeight / scale});
    window->invalidateAll();
}

// The host resized the window the editor lives in: the editor takes its whole size, and refits
// when its own window's change arrives.
void X11WindowHost::Impl::parentResized(int width, int height)
{
    // Only a change of the parent's size: a move, or a size the window already follows, leaves
    // the window as the host last sized it.
    if (width < 1 || height < 1 || (width == parentWidth && height == parentHeight))
        return;
    parentWidth = width;
    parentHeight = height;
    XResizeWindow(display, xwindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

// ---- drawing

void X11WindowHost::Impl::scheduleFrame()
{
    if (frameTimer)
        return;
    double const interval = 1.0 / std::max(1.0, options.frameRate);
    double const wait = lastFrameTime < 0 ? 0 : std::max(0.0, lastFrameTime + interval - now());
    frameTimer = loop.scheduledTimer(wait, false, [token = std::weak_ptr<Impl*>(alive)](Timer&) {
        if (auto self = token.lock())
            (*self)->frameDue();
    });
}

void X11WindowHost::Impl::frameDue()
{
    frameTimer.reset();
    draw();
    // Drawing makes round trips that may have queued events the watcher cannot see.
    processPending();
}

void X11WindowHost::Impl::draw()
{
    if (!display || !viewable)
        return;
    window->layoutIfNeeded();
    InvalidRegion region = window->takeInvalidRegion();
    if (!backBufferValid)
        region.addAll();
    lastFrameTime = now();
    if (region.isEmpty())
        return;
    std::vector<Rect> const rects = region.pixelRects(scale, pixelWidth, pixelHeight);
    redrawWindowRegion(*window, backBuffer, scale, rects);
    backBufferValid = true;
    present(rects);
    XFlush(display);
    ++frames;
    lastFramePixels = 0;
    for (Rect const& r : rects)
        lastFramePixels += r.width() * r.height();
}

void X11WindowHost::Impl::present(std::vector<Rect> const& pixelRects)
{
    if (pixelRects.empty())
        return;
    if (!image)
        return;
    // The window has no alpha: the premultiplied colours show as the picture laid over black,
    // as a headless picture does.
    cairo_surface_flush(backBuffer);
    for (Rect const& r : pixelRects)
        XPutImage(display, xwindow, gc, image, static_cast<int>(r.minX()), static_cast<int>(r.minY()),
                  static_cast<int>(r.minX()), static_cast<int>(r.minY()), static_cast<unsigned>(r.width()),
                  static_cast<unsigned>(r.height()));
}

// ---- the host

X11WindowHost::X11WindowHost(std::shared_ptr<Window> window, Options options, RunLoop& loop)
    : impl_(std::make_unique<Impl>(std::move(window), std::move(options), loop))
{
    impl_->open();
}

X11WindowHost::~X11WindowHost()
{
    Impl& i = *impl_;
    *i.alive = nullptr;
    i.alive.reset();
    i.watcher.reset();
    if (i.frameTimer)
        i.frameTimer->invalidate();
    if (i.touchClock)
        i.touchClock->invalidate();
    i.touches.cancelAll(now());
    i.window->setInvalidationHandler({});
    if (!i.display)
        return;
    i.releaseBuffers();
    XFreeGC(i.display, i.gc);
    // Destroying a window that is gone would be an X error, fatal by default: look for its end.
    XSync(i.display, False);
    while (!i.windowGone && XPending(i.display) > 0) {
        XEvent event;
        XNextEvent(i.display, &event);
        i.windowGone = event.type == DestroyNotify && event.xdestroywindow.window == i.xwindow;
    }
    if (i.inputContext)
        XDestroyIC(i.inputContext);
    if (i.inputMethod)
        XCloseIM(i.inputMethod);
    if (!i.windowGone)
        XDestroyWindow(i.display, i.xwindow);
    XCloseDisplay(i.display);
}

bool X11WindowHost::isOpen() const { return impl_->display != nullptr; }
std::string const& X11WindowHost::error() const { return impl_->error; }
unsigned long X11WindowHost::windowId() const { return impl_->xwindow; }
Display* X11WindowHost::display() const { return impl_->display; }
double X11WindowHost::scale() const { return impl_->scale; }
void X11WindowHost::setCloseHandler(std::function<void()> handler) { impl_->closeHandler = std::move(handler); }
std::uint64_t X11WindowHost::framesDrawn() const { return impl_->frames; }
double X11WindowHost::pixelsDrawnLastFrame() const { return impl_->lastFramePixels; }

void X11WindowHost::resizePixels(int width, int height)
{
    if (!impl_->display || width < 1 || height < 1)
        return;
    XResizeWindow(impl_->display, impl_->xwindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(impl_->display);
}

void X11WindowHost::processEvents()
{
    impl_->processPending();
}

void X11WindowHost::idle()
{
    impl_->processPending();
    if (!impl_->window->hasPendingUpdate())
        return;
    double const interval = 1.0 / std::max(1.0, impl_->options.frameRate);
    if (impl_->lastFrameTime < 0 || now() >= impl_->lastFrameTime + interval) {
        if (impl_->frameTimer) {
            impl_->frameTimer->invalidate();
            impl_->frameTimer.reset();
        }
        impl_->draw();
    }
}

void X11WindowHost::drawFrame()
{
    if (impl_->frameTimer) {
        impl_->frameTimer->invalidate();
        impl_->frameTimer.reset();
    }
    impl_->draw();
    impl_->processPending();
}

Image X11WindowHost::backBufferImage() const
{
    if (!impl_->backBuffer)
        return {};
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, impl_->pixelWidth, impl_->pixelHeight);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, impl_->backBuffer, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    Image image = Image::withSurface(copy, impl_->scale);
    cairo_surface_destroy(copy);
    return image;
}

} // namespace Platform
