#pragma once

#include <map>
#include <string_view>
#include <string>

namespace Lumora {

// A text of titled parts. Each part is a header line "[[title]]" followed by its content lines;
// parts are kept, and written, in byte order of their titles.
class MultiPartText {
public:
    // "[[" + title + "]]", without a line feed.
    static std::string partTitle(std::string const& title);
    // True when no line of content would be read as a header line.
    static bool isLegalContent(std::string const& content);
    // Whether a whole line is a header ("\s*\[\[(.+)\]\]\s*", classic-locale blanks); on success
    // the title is stored in *title when given.
    static bool isHeaderLine(std::string const& line, std::string* title = nullptr);

    // Stores content (trailing whitespace removed) under title, replacing what it held. False
    // when content was empty (nothing stored) or held a header line (stored with every "[[" and
    // "]]" turned into "((" and "))"), or when the title cannot be written as a header (empty,
    // or holding a line feed or carriage return; nothing stored).
    bool append(std::string const& title, std::string const& content);

    std::string serialize() const;
    // Replaces the parts by those of text; true when at least one part was read. An empty text
    // changes nothing.
    bool deserialize(std::string const& text);

    // The content of the part with exactly this title, or a shared empty string.
    std::string const& partText(std::string const& title) const;

    std::map<std::string, std::string> const& parts() const { return parts_; }

private:
    std::map<std::string, std::string> parts_;
};

} // namespace Lumora
