#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "engine/text/MultiPartText.h"

using Lumora::MultiPartText;

TEST(MultiPartText, HeaderLines) {
    struct Case {
        std::string line;
        bool header;
        std::string title;
    };
    Case const cases[] = {
        {"[[Global]]", true, "Global"},
        {"  \t[[ Global ]] \r", true, " Global "},
        {"[[]]", false, ""},
        {"x[[Global]]", false, ""},
        {"[[Global]]x", false, ""},
        {"[[A]][[B]]", true, "A]][[B"},
        {"[[]]]", true, "]"},
        {"[[a\rb]]", false, ""},
        {"[[Gl\xC3\xA9]]", true, "Gl\xC3\xA9"},
        {"\xA0[[A]]", false, ""}, // a high byte is not a blank
    };
    for (auto const& c : cases) {
        std::string title;
        EXPECT_EQ(MultiPartText::isHeaderLine(c.line, &title), c.header) << c.line;
        if (c.header) {
            EXPECT_EQ(title, c.title) << c.line;
        }
    }
    EXPECT_EQ(MultiPartText::partTitle("Arpeggiator"), "[[Arpeggiator]]");
}

TEST(MultiPartText, WritesPartsInTitleOrderAndReadsThemBack) {
    MultiPartText text;
    EXPECT_EQ(text.serialize(), "");
    EXPECT_TRUE(text.append("Parameters", "A=1\nB=2\n\n  "));
    EXPECT_TRUE(text.append("Global", "  lead\n\ninner\r\n"));
    EXPECT_EQ(text.serialize(), "[[Global]]\n  lead\n\ninner\n[[Parameters]]\nA=1\nB=2\n");

    MultiPartText back;
    EXPECT_TRUE(back.deserialize(text.serialize()));
    EXPECT_EQ(back.parts(), text.parts());
    EXPECT_EQ(back.partText("Parameters"), "A=1\nB=2");
    EXPECT_EQ(back.partText("parameters"), "");
    EXPECT_EQ(&back.partText("none"), &text.partText("other")); // one shared empty string
    EXPECT_EQ(back.parts().size(), 2u);
}

TEST(MultiPartText, AppendEscapesHeaderLikeContent) {
    MultiPartText text;
    EXPECT_FALSE(text.append("P", "first [[x]]\n [[Inner]] \nlast]]"));
    EXPECT_EQ(text.partText("P"), "first ((x))\n ((Inner)) \nlast))");
    MultiPartText back;
    EXPECT_TRUE(back.deserialize(text.serialize()));
    EXPECT_EQ(back.parts().size(), 1u);
    EXPECT_EQ(back.partText("P"), text.partText("P"));
}

TEST(MultiPartText, AppendEmptyBlankAndUnwritableTitles) {
    MultiPartText text;
    EXPECT_FALSE(text.append("E", ""));
    EXPECT_TRUE(text.parts().empty());
    EXPECT_TRUE(text.append("B", "  \n\t\n"));
    EXPECT_EQ(text.partText("B"), "");
    EXPECT_EQ(text.serialize(), "[[B]]\n\n");
    // A title whose header would not read back must not be written.
    EXPECT_FALSE(text.append("", "content"));
    EXPECT_FALSE(text.append("two\nlines", "content"));
    EXPECT_EQ(text.parts().size(), 1u);
    EXPECT_TRUE(text.append("B", "again"));
    EXPECT_EQ(text.partText("B"), "again");
}

TEST(MultiPartText, DeserializeEdgeCases) {
    MultiPartText text;
    text.append("Keep", "x");
    EXPECT_FALSE(text.deserialize(""));
    EXPECT_EQ(text.partText("Keep"), "x");

    EXPECT_FALSE(text.deserialize("no header\nat all\n"));
    EXPECT_TRUE(text.parts().empty());

    // Lines before the first header are lost; "[[]]" is ignored there and content after a header.
    // A header followed directly by another yields no part; a repeated title replaces.
    std::string const input = "lost\n[[]]\n[[A]]\n[[B]]\n[[]]\nb1\r\nb2\r\n[[Blank]]\n \n\n[[B]]\nlast";
    EXPECT_TRUE(text.deserialize(input));
    EXPECT_EQ(text.parts().size(), 2u);
    EXPECT_EQ(text.partText("A"), "");
    EXPECT_EQ(text.partText("Blank"), "");
    EXPECT_EQ(text.parts().count("Blank"), 1u);
    EXPECT_EQ(text.partText("B"), "last");

    EXPECT_TRUE(text.deserialize("[[W]]\r\nline1\r\nline2\r\n"));
    EXPECT_EQ(text.partText("W"), "line1\r\nline2");
}

TEST(MultiPartText, IndependentOfProcessLocale) {
    char const* previous = std::setlocale(LC_ALL, nullptr);
    std::string const saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        std::setlocale(LC_ALL, "C.UTF-8");
    }
    MultiPartText text;
    EXPECT_TRUE(text.deserialize("\xC2\xA0[[X]]\n[[Y]]\nv\n"));
    EXPECT_EQ(text.parts().size(), 1u);
    EXPECT_EQ(text.partText("Y"), "v");
    std::setlocale(LC_ALL, saved.c_str());
}
