#include "graphics/platform/X11EntryBox.h"

#include "graphics/IGraphicsWindow.h"
#include "graphics/VirtualKey.h"
#include "graphics/platform/X11Connection.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <cmath>

namespace
{
constexpr long kBoxEvents = ExposureMask | ButtonPressMask | KeyPressMask | FocusChangeMask;
// Space between the box's edge and its text, in window pixels.
constexpr double kMargin = 2.0;

void SetColour(cairo_t* context, const IArgbColour& c)
{
    cairo_set_source_rgb(context, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

void AppendUtf8(std::string& out, unsigned long codePoint)
{
    if (codePoint < 0x80)
    {
        out += static_cast<char>(codePoint);
    }
    else if (codePoint < 0x800)
    {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x10000)
    {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x110000)
    {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Focus changes that only come and go with a grab (a host's menu, a window manager's
// key binding) or that concern the pointer's window are not the box's focus.
bool IsRealFocusChange(const XFocusChangeEvent& e)
{
    return e.mode != NotifyGrab && e.mode != NotifyUngrab && e.detail != NotifyPointer &&
           e.detail != NotifyPointerRoot && e.detail != NotifyDetailNone;
}
} // namespace

X11EntryBox::X11EntryBox(X11Connection& connection, Window parent, const EntryBoxLayout& layout,
                         IGraphicsWindow& logic)
    : connection(connection), logic(logic), layout(layout), line(layout.text, layout.limit)
{
    Display* display = connection.display;
    XWindowAttributes parentAttributes{};
    const unsigned width = static_cast<unsigned>(layout.width > 0 ? layout.width : 1);
    const unsigned height = static_cast<unsigned>(layout.height > 0 ? layout.height : 1);
    Window created = 0;
    const bool ok = connection.Checked(
        [&]
        {
            if (!XGetWindowAttributes(display, parent, &parentAttributes))
                return;
            XSetWindowAttributes attributes{};
            attributes.event_mask = kBoxEvents;
            attributes.background_pixmap = None;
            attributes.border_pixel = 0;
            attributes.colormap = parentAttributes.colormap;
            created =
                XCreateWindow(display, parent, layout.x, layout.y, width, height, 0,
                              parentAttributes.depth, InputOutput, parentAttributes.visual,
                              CWEventMask | CWBackPixmap | CWBorderPixel | CWColormap, &attributes);
        });
    if (!ok || !created)
    {
        if (created)
            connection.Checked([&] { XDestroyWindow(display, created); });
        return;
    }
    window = created;
    const Cursor beam = XCreateFontCursor(display, XC_xterm);
    XDefineCursor(display, window, beam);
    XFreeCursor(display, beam);
    surface = cairo_xlib_surface_create(display, window, parentAttributes.visual,
                                        static_cast<int>(width), static_cast<int>(height));
    XMapRaised(display, window);
    // Refused while the host's window is not viewable; the box still takes keys sent to
    // the editor window then.
    connection.Checked([&] { XSetInputFocus(display, window, RevertToParent, CurrentTime); });
    Draw();
}

X11EntryBox::~X11EntryBox()
{
    if (!window)
        return;
    if (surface)
    {
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
    }
    const Window closing = window;
    connection.Checked([&] { XDestroyWindow(connection.display, closing); });
    XFlush(connection.display);
}

void X11EntryBox::HandleXEvent(XEvent& event)
{
    switch (event.type)
    {
    case Expose:
        if (event.xexpose.count == 0)
            Draw();
        break;
    case ButtonPress:
        if (event.xbutton.button != Button1)
            break;
        if (!focused)
            connection.Checked(
                [&] { XSetInputFocus(connection.display, window, RevertToParent, CurrentTime); });
        PlaceCaretAt(event.xbutton.x);
        Draw();
        break;
    case KeyPress:
        HandleKey(event.xkey);
        break;
    case FocusIn:
        if (IsRealFocusChange(event.xfocus))
            FocusGained();
        break;
    case FocusOut:
        if (IsRealFocusChange(event.xfocus) && event.xfocus.detail != NotifyInferior)
            FocusLost();
        break;
    default:
        break;
    }
}

void X11EntryBox::FocusGained()
{
    if (focused)
        return;
    focused = true;
    logic.EntryFocusGained();
    Draw();
}

void X11EntryBox::FocusLost()
{
    if (!focused)
        return;
    focused = false;
    logic.EntryFocusLost();
    Draw();
}

void X11EntryBox::HandleKey(XKeyEvent& event)
{
    char bytes[16];
    KeySym symbol = NoSymbol;
    const int count = XLookupString(&event, bytes, sizeof bytes, &symbol, nullptr);
    const bool shift = (event.state & ShiftMask) != 0;
    switch (symbol)
    {
    case XK_Return:
    case XK_KP_Enter:
        logic.EntryKeyDown(VirtualKey::kReturn);
        return;
    case XK_Escape:
        logic.EntryKeyDown(VirtualKey::kEscape);
        return;
    case XK_BackSpace:
        line.Backspace();
        break;
    case XK_Delete:
    case XK_KP_Delete:
        line.Delete();
        break;
    case XK_Left:
    case XK_KP_Left:
        line.Left(shift);
        break;
    case XK_Right:
    case XK_KP_Right:
        line.Right(shift);
        break;
    case XK_Home:
    case XK_KP_Home:
        line.Home(shift);
        break;
    case XK_End:
    case XK_KP_End:
        line.End(shift);
        break;
    default:
    {
        if ((event.state & ControlMask) != 0)
        {
            if (symbol == XK_a || symbol == XK_A)
                line.SelectAll();
            break;
        }
        // XLookupString gives Latin-1; keysyms beyond it carry their code point.
        std::string typed;
        if ((symbol & 0xFF000000ul) == 0x01000000ul)
            AppendUtf8(typed, symbol & 0x00FFFFFFul);
        else
            for (int i = 0; i < count; ++i)
                AppendUtf8(typed, static_cast<unsigned char>(bytes[i]));
        Type(typed);
        break;
    }
    }
    Draw();
}

void X11EntryBox::Type(const std::string& characters)
{
    if (characters.empty())
        return;
    const unsigned char first = static_cast<unsigned char>(characters[0]);
    if (first < 0x20 || first == 0x7F)
        return;
    // The typing filter judges by the first byte: the lead byte of a non-ASCII character
    // is never a sign, digit or point, so only parameters that take any text take it.
    if (!logic.EntryAcceptsCharacter(characters[0]))
        return;
    line.Insert(characters);
}

void X11EntryBox::SelectFont(cairo_t* context) const
{
    cairo_select_font_face(context, layout.fontName.c_str(),
                           layout.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           layout.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(context, layout.fontHeight > 0 ? layout.fontHeight : 1);
}

double X11EntryBox::Advance(cairo_t* context, const std::string& text) const
{
    if (text.empty())
        return 0.0;
    cairo_text_extents_t extents;
    cairo_text_extents(context, text.c_str(), &extents);
    return extents.x_advance;
}

double X11EntryBox::TextOrigin(double textWidth, double caretX) const
{
    const double inner = layout.width - 2 * kMargin;
    if (textWidth <= inner)
    {
        if (layout.align == 0)
            return kMargin;
        if (layout.align == 2)
            return layout.width - kMargin - textWidth;
        return std::floor((layout.width - textWidth) / 2);
    }
    return caretX > inner ? kMargin + inner - caretX : kMargin;
}

void X11EntryBox::PlaceCaretAt(int x)
{
    if (!surface)
        return;
    cairo_t* context = cairo_create(surface);
    SelectFont(context);
    const std::string& text = line.Text();
    const double origin =
        TextOrigin(Advance(context, text), Advance(context, text.substr(0, line.Caret())));
    size_t best = 0;
    double bestDistance = std::fabs(x - origin);
    for (size_t offset = 1; offset <= text.size(); ++offset)
    {
        if (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            continue;
        const double distance = std::fabs(x - (origin + Advance(context, text.substr(0, offset))));
        if (distance < bestDistance)
        {
            best = offset;
            bestDistance = distance;
        }
    }
    cairo_destroy(context);
    line.PlaceCaret(best);
}

void X11EntryBox::Draw()
{
    if (!surface)
        return;
    cairo_t* context = cairo_create(surface);
    SetColour(context, layout.background);
    cairo_paint(context);
    SelectFont(context);
    cairo_font_extents_t font;
    cairo_font_extents(context, &font);
    const std::string& text = line.Text();
    const double caretX = Advance(context, text.substr(0, line.Caret()));
    const double origin = TextOrigin(Advance(context, text), caretX);
    const double top = std::floor((layout.height - (font.ascent + font.descent)) / 2);
    const double baseline = top + std::round(font.ascent);
    const double lineHeight = std::ceil(font.ascent + font.descent);

    SetColour(context, layout.foreground);
    cairo_move_to(context, origin, baseline);
    cairo_show_text(context, text.c_str());
    if (line.HasSelection())
    {
        // Selected text inverted: the foreground as its background.
        const double from = origin + Advance(context, text.substr(0, line.SelectionStart()));
        const double to = origin + Advance(context, text.substr(0, line.SelectionEnd()));
        cairo_rectangle(context, from, top, to - from, lineHeight);
        cairo_fill_preserve(context);
        cairo_clip(context);
        SetColour(context, layout.background);
        cairo_move_to(context, origin, baseline);
        cairo_show_text(context, text.c_str());
        cairo_reset_clip(context);
    }
    else if (focused)
    {
        cairo_rectangle(context, std::floor(origin + caretX), top, 1, lineHeight);
        cairo_fill(context);
    }
    cairo_destroy(context);
    cairo_surface_flush(surface);
    XFlush(connection.display);
}
