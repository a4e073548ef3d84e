#pragma once

// A documents tree in a fresh folder, a document manager over it with a recording serializer, and
// the browser shown in a window, with helpers that act as the user does. Header-only.

#include "controls/button/Lumora_CmndButton.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/Serializer.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/DocumentInteractionController.h"
#include "platform/ui/Window.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace BrowserTest {

namespace bfs = boost::filesystem;
using Item = Lumora::PresetDocFileManager::Item;

inline void writeFile(bfs::path const& path, std::string const& text)
{
    bfs::create_directories(path.parent_path());
    std::ofstream out(path.string(), std::ios::binary);
    out << text;
}

inline std::string readFile(bfs::path const& path)
{
    std::ifstream in(path.string(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, sorted.
inline std::vector<std::string> entries(bfs::path const& folder)
{
    std::vector<std::string> names;
    boost::system::error_code ec;
    for (bfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder, removed at the end; the programs' temporary folder points into it meanwhile so
// that packed files land there.
class ScratchTree {
public:
    ScratchTree()
    {
        path_ = bfs::canonical(bfs::path(::testing::TempDir())) / bfs::unique_path("browser-%%%%-%%%%-%%%%");
        bfs::create_directories(path_ / "tmp");
        if (char const* old = std::getenv("CORVANE_TMPDIR"))
            savedTmp_ = old;
        ::setenv("CORVANE_TMPDIR", (path_ / "tmp").c_str(), 1);
    }
    ~ScratchTree()
    {
        if (savedTmp_.empty())
            ::unsetenv("CORVANE_TMPDIR");
        else
            ::setenv("CORVANE_TMPDIR", savedTmp_.c_str(), 1);
        boost::system::error_code ignored;
        bfs::permissions(path_ / "User", bfs::owner_all | bfs::add_perms, ignored);
        bfs::remove_all(path_, ignored);
    }
    ScratchTree(ScratchTree const&) = delete;
    ScratchTree& operator=(ScratchTree const&) = delete;

    bfs::path const& path() const { return path_; }
    bfs::path operator/(std::string const& name) const { return path_ / name; }

private:
    bfs::path path_;
    std::string savedTmp_;
};

// An engine stand-in whose whole state is one string; it reads only texts it could have written.
class RecordingSerializer : public Lumora::Serializer {
public:
    std::string state = "default";
    int deserializeCalls = 0;
    int serializeCalls = 0;

    std::string serialize(Lumora::SerializeWhat, Lumora::SerializeWhere) override
    {
        ++serializeCalls;
        return "state:" + state;
    }
    bool deserialize(Lumora::SerializeWhat, std::string const& text, Lumora::SerializeWhere) override
    {
        ++deserializeCalls;
        if (text.rfind("state:", 0) != 0)
            return false;
        state = text.substr(6);
        return true;
    }
    void initialize(Lumora::SerializeWhat, Lumora::SerializeWhere) override { state = "default"; }
};

// Factory, User and Program trees of sound presets, the browser over them in a window.
class BrowserRig : public ::testing::Test {
protected:
    ScratchTree tree;
    bfs::path factory = tree / "Factory";
    bfs::path user = tree / "User";
    bfs::path program = tree / "Program";
    RecordingSerializer serializer;
    std::unique_ptr<Lumora::PresetDocFileManager> manager;
    std::shared_ptr<Platform::Window> window;
    std::shared_ptr<Lumora_PrstDocFileBrwsVwCtrlr> browser;

    void SetUp() override
    {
        writeFile(factory / "Bright.corvane_snd", "state:bright");
        writeFile(factory / "Warm.corvane_snd", "state:warm");
        writeFile(factory / "Pads" / "Soft.corvane_snd", "state:soft");
        writeFile(user / "Pad.corvane_snd", "state:pad");
        writeFile(user / "Lead.corvane_snd", "state:lead");
        writeFile(user / "Broken.corvane_snd", "garbage");
        writeFile(user / "notes.txt", "hello");
        writeFile(user / "Pads" / "Soft.corvane_snd", "state:user soft");
        writeFile(user / "Pads" / "Inner" / "Deep.corvane_snd", "state:deep");
        bfs::create_directories(user / "Empty");
        writeFile(program / "P1.corvane_snd", "state:p1");
        Platform::DocumentInteractionController::clearOfferedPaths();
    }

    void TearDown() override
    {
        browser.reset();
        window.reset();
    }

    Lumora::PresetDocFileManager::Config config(bool withFactory = true, bool withProgram = true)
    {
        Lumora::PresetDocFileManager::Config c;
        c.serializer = &serializer;
        c.serializeWhat = Lumora::SerializeWhat::SoundPreset;
        c.name = "Sound Presets";
        c.fileExtension = "corvane_snd";
        c.pathConfig.factoryDirectory = withFactory ? factory.string() : "";
        c.pathConfig.userDirectory = user.string();
        c.pathConfig.programDirectory = withProgram ? program.string() : "";
        return c;
    }

    // Shows a browser over the three trees (or over User alone), as its window's root screen.
    void open(bool closeButton = true, bool userOnly = false)
    {
        if (!manager)
            manager = std::make_unique<Lumora::PresetDocFileManager>(config(!userOnly, !userOnly), nullptr);
        browser = Lumora_PrstDocFileBrwsVwCtrlr::create(manager.get(), false, closeButton);
        ASSERT_NE(browser, nullptr);
        window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 400, 540));
        window->setRootViewController(browser);
        window->layoutIfNeeded();
    }

    // Opens the browser inside the User tree.
    void openInUser(bool closeButton = true)
    {
        open(closeButton);
        tapRow("User");
    }

    std::vector<std::string> rows() const
    {
        std::vector<std::string> names;
        for (Item const& item : browser->items())
            names.push_back(item.name());
        return names;
    }

    int rowOf(std::string const& name) const
    {
        auto const& items = browser->items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].name() == name)
                return static_cast<int>(i);
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    Platform::TableViewCell* cell(std::string const& name) const
    {
        return browser->tableView()->cellForRowAtIndexPath(Platform::IndexPath::forRow(rowOf(name), 0));
    }

    void tapRow(std::string const& name) { browser->tableView()->tapRowByUser(Platform::IndexPath::forRow(rowOf(name), 0)); }

    std::vector<std::string> selectedRows() const
    {
        std::vector<std::string> names;
        for (auto const& path : browser->tableView()->indexPathsForSelectedRows())
            names.push_back(browser->items().at(static_cast<std::size_t>(path.row)).name());
        return names;
    }

    void tapAlt() { browser->btnAlt()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside); }
    void tapFn(int number) { browser->btnFn(number)->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside); }
    void tapGoBack() { browser->btnGoBack()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside); }
    void tapDirectoryName()
    {
        browser->btnDirectoryName()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    }

    // The enabled flags of Fn1 ... Fn5 as a string of 1s and 0s; hidden buttons count as "-".
    std::string functionStates() const
    {
        std::string states;
        for (int n = 1; n <= 5; ++n) {
            Lumora_CmndButton* fn = browser->btnFn(n);
            states += fn->isHidden() ? '-' : (fn->isEnabled() ? '1' : '0');
        }
        return states;
    }
    std::vector<std::string> functionIcons() const
    {
        std::vector<std::string> icons;
        for (int n = 1; n <= 5; ++n)
            icons.push_back(browser->btnFn(n)->imageName().value_or("<none>"));
        return icons;
    }

    // The alert or sheet the browser shows now, or null.
    Platform::AlertController* alert() const
    {
        return dynamic_cast<Platform::AlertController*>(browser->presentedViewController());
    }
    std::string alertText() const
    {
        Platform::AlertController* a = alert();
        return a ? a->title() + " | " + a->message() : std::string("<no alert>");
    }
    // Types into the shown name prompt and chooses "OK".
    void enterName(std::string const& text)
    {
        Platform::AlertController* a = alert();
        ASSERT_NE(a, nullptr);
        ASSERT_EQ(a->textFields().size(), 1u);
        a->textFields()[0]->setText(text);
        ASSERT_TRUE(a->chooseActionWithTitle("OK"));
    }
    void choose(std::string const& title)
    {
        Platform::AlertController* a = alert();
        ASSERT_NE(a, nullptr) << "no alert to choose " << title << " in";
        ASSERT_TRUE(a->chooseActionWithTitle(title)) << title;
    }
};

} // namespace BrowserTest
