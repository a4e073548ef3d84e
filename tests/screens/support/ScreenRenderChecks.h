#pragma once

// What looking at a drawn screen checks, measured on its view tree rather than on pixels: every
// view shows inside its window (or is reachable by scrolling its scroll view), nothing is cut
// at the edge of a view that clips, no two sibling controls or labels partly cover each other,
// and every label's text fits its frame at its font as the text layout measures it; and which
// texts reach the screen smaller than a size that reads. Header-only.

#include "platform/graphics/StringDrawing.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

namespace ScreenChecks {

using Platform::Label;
using Platform::Rect;
using Platform::View;

// Half a point either way is rounding, not a fault.
constexpr double tolerance = 0.5;

inline std::string text(Rect const& r)
{
    std::ostringstream out;
    out << '(' << r.minX() << ", " << r.minY() << ", " << r.width() << ", " << r.height() << ')';
    return out.str();
}

// A view's class name (demangled enough to read) and, for a label, its text.
inline std::string describe(View const& v)
{
    std::string name = typeid(v).name();
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.front())))
        name.erase(name.begin());
    if (auto const* label = dynamic_cast<Label const*>(&v))
        name += " \"" + label->text() + "\"";
    return name;
}

inline Rect inWindow(View const& v) { return v.convertRectToView(v.bounds(), nullptr); }

inline bool inside(Rect const& inner, Rect const& outer)
{
    return inner.minX() >= outer.minX() - tolerance && inner.minY() >= outer.minY() - tolerance &&
           inner.maxX() <= outer.maxX() + tolerance && inner.maxY() <= outer.maxY() + tolerance;
}

inline bool disjoint(Rect const& a, Rect const& b)
{
    return a.maxX() <= b.minX() + tolerance || b.maxX() <= a.minX() + tolerance || a.maxY() <= b.minY() + tolerance ||
           b.maxY() <= a.minY() + tolerance;
}

inline bool shown(View const& v) { return !v.isHidden() && v.alpha() > 0.01; }

inline bool empty(Rect const& r) { return r.width() <= tolerance || r.height() <= tolerance; }

// The size at which a label's text reaches the screen: its font scaled by the transforms above it.
inline double shownPointSize(Label const& label)
{
    double const width = label.bounds().width();
    double const scale = width > 0 ? inWindow(label).width() / width : 1;
    return label.font().pointSize() * scale;
}

// The labels whose text reaches the screen smaller than `minimum` points.
inline std::vector<std::string> textsBelow(std::vector<Label const*> const& labels, double minimum)
{
    std::vector<std::string> small;
    for (Label const* label : labels) {
        double const shown = shownPointSize(*label);
        if (shown < minimum - 0.05) {
            std::ostringstream out;
            out << describe(*label) << " shows at " << shown << " pt";
            small.push_back(out.str());
        }
    }
    return small;
}

// Whether the label's text fits its bounds: one line within its width and line height, or
// wrapped within its width and height (no single word wider than the label) and its line count.
inline bool textFits(Label const& label)
{
    Rect const b = label.bounds();
    std::string shownText = label.text();
    std::string expanded;
    for (char c : shownText)
        expanded += c == '\t' ? std::string(Label::kTabSpaces, ' ') : std::string(1, c);
    Platform::Font const& font = label.font();
    if (label.numberOfLines() == 1) {
        double const width = Platform::StringDrawing::advance(expanded, font);
        return width <= b.width() + tolerance && font.lineHeight() <= b.height() + tolerance;
    }
    auto const lines = Platform::StringDrawing::lines(expanded, b.width(), font);
    if (label.numberOfLines() > 0 && lines.size() > static_cast<std::size_t>(label.numberOfLines()))
        return false;
    for (auto const& line : lines)
        if (Platform::StringDrawing::advance(line, font) > b.width() + tolerance)
            return false;
    return font.lineHeight() * static_cast<double>(lines.size()) <= b.height() + tolerance;
}

// What a musician reads or touches must show whole; groups and pictures may be cut.
inline bool mustShowWhole(View const& v)
{
    if (dynamic_cast<Label const*>(&v) || dynamic_cast<Platform::Control const*>(&v))
        return true;
    return v.subviews().empty() && !dynamic_cast<Platform::ImageView const*>(&v);
}

// A row of a list shows a name the user chose, of any length: it keeps to one line, cut at its
// tail, rather than fit.
inline bool namesAListRow(Label const& label)
{
    for (View const* v = label.superview(); v; v = v->superview())
        if (dynamic_cast<Platform::TableViewCell const*>(v))
            return true;
    return false;
}

// Where a label's text lies: its lines' box, aligned in its bounds as drawn, in window
// coordinates. A label's frame may be a whole row high; only its text can collide.
inline Rect textBoxInWindow(Label const& label)
{
    Rect const b = label.bounds();
    Platform::Font const& font = label.font();
    double const wrap = label.numberOfLines() == 1 ? 1e9 : b.width();
    auto lines = Platform::StringDrawing::lines(label.text(), wrap, font);
    if (label.numberOfLines() > 0 && lines.size() > static_cast<std::size_t>(label.numberOfLines()))
        lines.resize(static_cast<std::size_t>(label.numberOfLines()));
    double width = 0;
    for (auto const& line : lines)
        width = std::max(width, Platform::StringDrawing::advance(line, font));
    width = std::min(width, b.width());
    double const height = std::min(b.height(), font.lineHeight() * static_cast<double>(lines.size()));
    double x = b.minX();
    if (label.textAlignment() == Platform::TextAlignment::Center)
        x += (b.width() - width) / 2;
    else if (label.textAlignment() == Platform::TextAlignment::Right)
        x += b.width() - width;
    return label.convertRectToView(Rect(x, b.minY() + (b.height() - height) / 2, width, height), nullptr);
}

// Where a view can collide with its siblings: a label's text, any other view's frame.
inline Rect occupied(View const& v)
{
    if (auto const* label = dynamic_cast<Label const*>(&v))
        return label->text().empty() ? Rect() : textBoxInWindow(*label);
    return inWindow(v);
}

// Views that are meant to lie over their siblings: a picture or panel behind them, an overlay
// over them. Either wholly covers the other, so only partial overlaps count as faults; the keys
// of a piano octave overlap by design.
using OverlapAllowed = std::function<bool(View const& a, View const& b)>;

class Checker {
public:
    explicit Checker(Rect window, OverlapAllowed allowed = {}) : window_(window), allowed_(std::move(allowed)) {}

    // Checks the subtree of the view, which lies directly in the window.
    void check(View const& root) { visit(root, window_, "window"); }

    std::vector<std::string> const& faults() const { return faults_; }
    std::vector<Label const*> const& labels() const { return labels_; }

private:
    // `room` is where the view may show, in window coordinates: the window, a clipping
    // ancestor's bounds or a scroll view's scrollable content.
    void visit(View const& v, Rect room, std::string const& roomName)
    {
        if (!shown(v))
            return;
        Rect const frame = inWindow(v);
        if (!empty(frame)) {
            if (!inside(frame, room)) {
                // Inside a clipping view a part may lie wholly beyond the edge (hidden on
                // purpose); a control or text cut in two is a fault, and none may leave the
                // window. A group or a picture may be cut: what it holds is judged part by part.
                bool const hiddenBeyond = roomName != "window" && disjoint(frame, room);
                if (hiddenBeyond)
                    return;
                if (mustShowWhole(v))
                    fault(describe(v) + " at " + text(frame) + " leaves its " + roomName + " " + text(room));
            }
            if (auto const* label = dynamic_cast<Label const*>(&v); label && !label->text().empty()) {
                labels_.push_back(label);
                if (namesAListRow(*label)) {
                    if (label->numberOfLines() != 1)
                        fault(describe(v) + " may wrap out of its row");
                } else if (!textFits(*label)) {
                    std::ostringstream needs;
                    needs << " (its line is " << Platform::StringDrawing::advance(label->text(), label->font())
                          << " wide, " << label->font().lineHeight() << " high)";
                    fault(describe(v) + " does not fit its frame " + text(frame) + " at " +
                          std::to_string(label->font().pointSize()) + " pt" + needs.str());
                }
            }
        }
        checkSiblings(v);

        Rect childRoom = room;
        std::string childRoomName = roomName;
        if (auto const* scroll = dynamic_cast<Platform::ScrollView const*>(&v)) {
            // Scrolled content is reachable anywhere within the content size.
            Platform::Size const content = scroll->contentSize();
            Rect const area(0, 0, std::max(content.width, v.bounds().width()), std::max(content.height, v.bounds().height()));
            childRoom = v.convertRectToView(area, nullptr);
            childRoomName = "scroll content";
        } else if (v.clipsToBounds() && !empty(frame)) {
            childRoom = frame;
            childRoomName = "clipping " + describe(v);
        }
        for (auto const& child : v.subviews())
            visit(*child, childRoom, childRoomName);
    }

    void checkSiblings(View const& parent)
    {
        auto const& children = parent.subviews();
        for (std::size_t i = 0; i < children.size(); ++i) {
            View const& a = *children[i];
            Rect const fa = occupied(a);
            if (!shown(a) || empty(fa))
                continue;
            for (std::size_t j = i + 1; j < children.size(); ++j) {
                View const& b = *children[j];
                Rect const fb = occupied(b);
                if (!shown(b) || empty(fb))
                    continue;
                if (disjoint(fa, fb) || inside(fa, fb) || inside(fb, fa))
                    continue;
                if (allowed_ && allowed_(a, b))
                    continue;
                fault(describe(a) + " at " + text(fa) + " overlaps " + describe(b) + " at " + text(fb));
            }
        }
    }

    void fault(std::string message) { faults_.push_back(std::move(message)); }

    Rect window_;
    OverlapAllowed allowed_;
    std::vector<std::string> faults_;
    std::vector<Label const*> labels_;
};

} // namespace ScreenChecks
