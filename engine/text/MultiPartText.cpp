#include "engine/text/MultiPartText.h"

namespace Lumora {

namespace {

// The blanks of the classic locale; bytes of 0x80 and above are never blank.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void trimTrailingBlanks(std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && isBlank(s[end - 1])) {
        --end;
    }
    s.resize(end);
}

void replaceAll(std::string& s, std::string const& from, std::string const& to) {
    std::size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// Calls f(line) for every line-feed-separated line; a last line without a line feed counts,
// an empty remainder after the final line feed does not.
template <typename F>
void forEachLine(std::string const& text, F&& f) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t const end = text.find('\n', start);
        if (end == std::string::npos) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

std::string MultiPartText::partTitle(std::string const& title) {
    return "[[" + title + "]]";
}

// Equivalent to a full match of "\s*\[\[(.+)\]\]\s*": blanks may surround the brackets, the
// greedy title runs from the first "[[" to the last "]]" before the trailing blanks, holds at
// least one byte and no line feed or carriage return (what "." does not match).
bool MultiPartText::isHeaderLine(std::string const& line, std::string* title) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && isBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(line[end - 1])) {
        --end;
    }
    if (end - begin < 5 || line.compare(begin, 2, "[[") != 0 || line.compare(end - 2, 2, "]]") != 0) {
        return false;
    }
    std::string_view const inner(line.data() + begin + 2, end - begin - 4);
    if (inner.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    if (title) {
        *title = std::string(inner);
    }
    return true;
}

bool MultiPartText::isLegalContent(std::string const& content) {
    bool legal = true;
    forEachLine(content, [&legal](std::string const& line) {
        if (legal && isHeaderLine(line)) {
            legal = false;
        }
    });
    return legal;
}

bool MultiPartText::append(std::string const& title, std::string const& content) {
    if (content.empty()) {
        return false;
    }
    if (!isHeaderLine(partTitle(title))) {
        // Its header would not read back as one: the content would join the part before it.
        return false;
    }
    std::string stored = content;
    trimTrailingBlanks(stored);
    if (isLegalContent(stored)) {
        parts_[title] = std::move(stored);
        return true;
    }
    // A header-like line would split the part when read back: defuse every bracket pair.
    replaceAll(stored, "[[", "((");
    replaceAll(stored, "]]", "))");
    parts_[title] = std::move(stored);
    return false;
}

std::string MultiPartText::serialize() const {
    std::string text;
    for (auto const& [title, content] : parts_) {
        text += partTitle(title);
        text += '\n';
        text += content;
        text += '\n';
    }
    return text;
}

bool MultiPartText::deserialize(std::string const& text) {
    if (text.empty()) {
        return false;
    }
    parts_.clear();
    std::string currentTitle;
    std::string buffer;
    std::string lineTitle;
    forEachLine(text, [&](std::string const& line) {
        if (isHeaderLine(line, &lineTitle)) {
            if (!currentTitle.empty() && !buffer.empty()) {
                append(currentTitle, buffer);
            }
            currentTitle = lineTitle;
            buffer.clear();
        } else if (!currentTitle.empty()) {
            buffer += line;
            buffer += '\n';
        }
    });
    if (!currentTitle.empty() && !buffer.empty()) {
        append(currentTitle, buffer);
    }
    return !parts_.empty();
}

std::string const& MultiPartText::partText(std::string const& title) const {
    static std::string const empty;
    auto const it = parts_.find(title);
    return it == parts_.end() ? empty : it->second;
}

} // namespace Lumora
