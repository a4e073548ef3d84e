#include "linkkit/views/ABLSettingsViewController.h"

#include "linkkit/ABLLinkKeys.h"
#include "linkkit/ABLLinkObject.h"
#include "linkkit/views/ABLActivityIndicatorView.h"
#include "linkkit/views/ABLLinkTexts.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/StringDrawing.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextView.h"

#include <algorithm>
#include <cmath>

namespace {

using Platform::Rect;

constexpr char const* startStopSyncSupportedKey = "ABLLinkStartStopSyncSupported";
constexpr double margin = 16;
constexpr double footerFontSize = 13;
// The system's grouped-table background.
constexpr Platform::Color groupedBackground(242.0 / 255, 242.0 / 255, 247.0 / 255, 1);

// A row with a title (and a grey subtitle) and a switch at its right edge.
class ABLSwitchCell : public Platform::TableViewCell {
public:
    ABLSwitchCell(Style style, std::shared_ptr<Platform::Switch> control)
        : TableViewCell(style, ""), switch_(std::move(control))
    {
        addSubview(switch_);
    }

    Platform::Switch* control() const { return switch_.get(); }

    void layoutSubviews() override
    {
        TableViewCell::layoutSubviews();
        Rect const b = bounds();
        Rect const s = switch_->bounds();
        switch_->setFrame(Rect(b.maxX() - margin - s.width(), b.midY() - s.height() / 2, s.width(), s.height()));
    }

private:
    std::shared_ptr<Platform::Switch> switch_;
};

// "|-leftInset-[label]-[activityIndicator]", both centred vertically.
class ABLPeersFooterView : public Platform::View {
public:
    ABLPeersFooterView(double leftInset, std::string const& text)
        : View(Rect(0, 0, 320, ABLSettingsViewController::peersFooterHeight)), leftInset_(leftInset)
    {
        label_ = std::make_shared<Platform::Label>();
        label_->setText(text);
        label_->setFont(Platform::Font::systemFont(footerFontSize));
        label_->setTextColor(Platform::Color::lightGrayColor());
        addSubview(label_);
        indicator_ = std::make_shared<ABLActivityIndicatorView>();
        indicator_->setTransform(Platform::AffineTransform().scaledBy(0.8, 0.8));
        addSubview(indicator_);
        indicator_->startAnimating();
    }

    void layoutSubviews() override
    {
        View::layoutSubviews();
        Rect const b = bounds();
        Platform::Size const text = label_->sizeThatFits(Platform::Size{b.width(), b.height()});
        double const labelWidth = std::min(text.width, std::max(0.0, b.width() - leftInset_ - standardSpacing - indicatorSide));
        label_->setFrame(Rect(leftInset_, b.midY() - text.height / 2, labelWidth, text.height));
        indicator_->setCenter(Platform::Point{leftInset_ + labelWidth + standardSpacing + indicatorSide / 2, b.midY()});
    }

private:
    static constexpr double standardSpacing = 8;
    static constexpr double indicatorSide = ABLActivityIndicatorView::side;
    double leftInset_;
    std::shared_ptr<Platform::Label> label_;
    std::shared_ptr<ABLActivityIndicatorView> indicator_;
};

// The description footer: grey text ending in the Link page's address, which is drawn in the link
// colour. The address is one word, so wrapping never splits it.
class ABLEnableFooterView : public Platform::TextView {
public:
    ABLEnableFooterView(Rect frame, std::string linkText)
        : TextView(frame), link_(std::move(linkText))
    {
    }

    // The wrapped text's height for the width, with the insets above and below.
    Platform::Size sizeThatFits(Platform::Size size) const override
    {
        Platform::EdgeInsets const inset = textContainerInset();
        Platform::TextAttributes attributes;
        attributes.font = font();
        Rect const box = Platform::StringDrawing::boundingRect(
            text(), Platform::Size{std::max(0.0, size.width - inset.left - inset.right), 0}, attributes);
        return {size.width, std::ceil(box.height()) + inset.top + inset.bottom};
    }

    void drawRect(Rect const&) override
    {
        Platform::EdgeInsets const inset = textContainerInset();
        double const width = bounds().width() - inset.left - inset.right;
        double const lineHeight = font().lineHeight();
        Platform::TextAttributes plain;
        plain.font = font();
        plain.color = textColor();
        Platform::TextAttributes linked = plain;
        linked.color = ABLSettingsViewController::linkColor;
        auto const lines = Platform::StringDrawing::lines(text(), width, font());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string const& line = lines[i];
            Platform::Point const origin { inset.left, inset.top + static_cast<double>(i) * lineHeight };
            auto const at = link_.empty() ? std::string::npos : line.rfind(link_);
            if (at == std::string::npos) {
                Platform::StringDrawing::drawAtPoint(line, origin, plain);
                continue;
            }
            std::string const before = line.substr(0, at);
            Platform::StringDrawing::drawAtPoint(before, origin, plain);
            double const x = origin.x + Platform::StringDrawing::advance(before, font());
            Platform::StringDrawing::drawAtPoint(link_, Platform::Point { x, origin.y }, linked);
            Platform::StringDrawing::drawAtPoint(line.substr(at + link_.size()),
                Platform::Point { x + Platform::StringDrawing::advance(link_, font()), origin.y }, plain);
        }
    }

private:
    std::string link_;
};

Platform::Switch* switchOf(std::shared_ptr<Platform::TableViewCell> const& cell)
{
    auto* switchCell = dynamic_cast<ABLSwitchCell*>(cell.get());
    return switchCell ? switchCell->control() : nullptr;
}

std::shared_ptr<Platform::UserDefaults> defaults() { return Platform::UserDefaults::standard(); }

} // namespace

std::shared_ptr<ABLSettingsViewController> ABLSettingsViewController::create(ABLLink* link)
{
    auto controller = std::make_shared<ABLSettingsViewController>();
    if (!controller->initWithLink(link))
        return nullptr;
    return controller;
}

// The link may still be under construction here: nothing of it is read until the view is used.
bool ABLSettingsViewController::initWithLink(ABLLink* link)
{
    if (!link)
        return false;
    link_ = link;
    setTitle(titleText);
    auto const store = defaults();
    if (!store->objectForKey(kABLLinkEnabledKey))
        store->setBool(kABLLinkEnabledKey, false);
    if (!store->objectForKey(kABLNotificationEnabledKey))
        store->setBool(kABLNotificationEnabledKey, true);
    if (!store->objectForKey(kABLStartStopSyncEnabledKey))
        store->setBool(kABLStartStopSyncEnabledKey, false);
    store->synchronize();
    return true;
}

void ABLSettingsViewController::viewDidLoad()
{
    TableViewController::viewDidLoad();
    tableView()->setBackgroundColor(groupedBackground);
    // Rows hold switches and text only: a tap never highlights one.
    tableView()->setAllowsSelection(false);
}

void ABLSettingsViewController::viewWillAppear(bool animated)
{
    TableViewController::viewWillAppear(animated);
    if (Platform::NavigationController* navigation = navigationController()) {
        toolbarWasHidden_ = navigation->isToolbarHidden();
        navigation->setToolbarHidden(false, animated);
    }
}

void ABLSettingsViewController::viewWillDisappear(bool animated)
{
    TableViewController::viewWillDisappear(animated);
    if (Platform::NavigationController* navigation = navigationController())
        navigation->setToolbarHidden(toolbarWasHidden_, animated);
}

bool ABLSettingsViewController::isEnabled() const { return link_ && link_->isUserEnabled(); }

bool ABLSettingsViewController::isStartStopSyncEnabled() const { return link_ && link_->isStartStopSyncEnabled(); }

bool ABLSettingsViewController::startStopSyncSupported() const
{
    auto bundle = Platform::Bundle::main();
    Platform::Value const* value = bundle ? bundle->objectForInfoDictionaryKey(startStopSyncSupportedKey) : nullptr;
    return value && value->boolValue();
}

void ABLSettingsViewController::deinit()
{
    link_ = nullptr;
}

void ABLSettingsViewController::setNumberOfPeers(unsigned long peers)
{
    peers_ = peers;
    if (statusCell_)
        statusCell_->textLabel()->setText(ABLLinkTexts::peersConnectedText(peers_));
}

// ---- switches

void ABLSettingsViewController::enableLink(Platform::Switch* sender)
{
    bool const on = sender && sender->isOn();
    auto const store = defaults();
    store->setBool(kABLLinkEnabledKey, on);
    store->synchronize();
    if (!on)
        setNumberOfPeers(0);
    if (!link_ || on == link_->isUserEnabled())
        return;
    link_->setUserEnabled(on);
    link_->callbacks().isEnabled(on);
    link_->applyEnableState();
    // Sections 1 and 2 come or go with the switch, and the description footer with them.
    if (enableFooter_)
        enableFooter_->setHidden(on);
    if (isViewLoaded())
        tableView()->reloadData();
}

void ABLSettingsViewController::enableNotifications(Platform::Switch* sender)
{
    auto const store = defaults();
    store->setBool(kABLNotificationEnabledKey, sender && sender->isOn());
    store->synchronize();
}

void ABLSettingsViewController::enableStartStopSync(Platform::Switch* sender)
{
    bool const on = sender && sender->isOn();
    auto const store = defaults();
    store->setBool(kABLStartStopSyncEnabledKey, on);
    store->synchronize();
    if (!link_ || on == link_->isStartStopSyncEnabled())
        return;
    link_->setStartStopSyncEnabled(on);
    link_->callbacks().startStopSyncEnabled(on);
}

void ABLSettingsViewController::viewLayoutMarginsDidChange()
{
    dropCachedViews();
    if (isViewLoaded())
        tableView()->reloadData();
}

void ABLSettingsViewController::dropCachedViews()
{
    enableCell_.reset();
    enableFooter_.reset();
    notificationsCell_.reset();
    startStopSyncCell_.reset();
    statusCell_.reset();
    peersFooter_.reset();
}

// ---- table

int ABLSettingsViewController::numberOfSectionsInTableView(Platform::TableView*) { return isEnabled() ? 3 : 1; }

int ABLSettingsViewController::numberOfRowsInSection(Platform::TableView*, int section)
{
    switch (section) {
    case 0:
        return 1;
    case 1:
        return isEnabled() ? (startStopSyncSupported() ? 2 : 1) : 0;
    case 2:
        return isEnabled() ? 1 : 0;
    default:
        return 0;
    }
}

std::shared_ptr<Platform::TableViewCell> ABLSettingsViewController::makeSwitchCell(
    std::string const& title, std::string const& subtitle, bool on, void (ABLSettingsViewController::*action)(Platform::Switch*))
{
    auto control = std::make_shared<Platform::Switch>(Rect(0, 0, 51, 31));
    control->setOn(on);
    control->addTarget(this, action, Platform::ControlEvents::ValueChanged);
    auto const style = subtitle.empty() ? Platform::TableViewCell::Style::Default : Platform::TableViewCell::Style::Subtitle;
    auto cell = std::make_shared<ABLSwitchCell>(style, control);
    cell->textLabel()->setText(title);
    if (auto* detail = cell->detailTextLabel()) {
        detail->setText(subtitle);
        detail->setTextColor(Platform::Color::grayColor());
    }
    return cell;
}

Platform::Switch* ABLSettingsViewController::enableSwitch()
{
    if (!enableCell_)
        enableCell_ = makeSwitchCell(titleText, "", isEnabled(), &ABLSettingsViewController::enableLink);
    return switchOf(enableCell_);
}

Platform::Switch* ABLSettingsViewController::notificationsSwitch()
{
    if (!notificationsCell_)
        notificationsCell_ = makeSwitchCell(ABLLinkTexts::text("InAppNotificationTitle"),
                                            ABLLinkTexts::text("InAppNotificationSubtitle"),
                                            defaults()->boolForKey(kABLNotificationEnabledKey),
                                            &ABLSettingsViewController::enableNotifications);
    return switchOf(notificationsCell_);
}

Platform::Switch* ABLSettingsViewController::startStopSyncSwitch()
{
    if (!startStopSyncCell_)
        startStopSyncCell_ = makeSwitchCell(ABLLinkTexts::text("SyncStartStopTitle"),
                                            ABLLinkTexts::text("SyncStartStopSubtitle"), isStartStopSyncEnabled(),
                                            &ABLSettingsViewController::enableStartStopSync);
    return switchOf(startStopSyncCell_);
}

Platform::TableViewCell* ABLSettingsViewController::statusCell()
{
    if (!statusCell_) {
        statusCell_ = std::make_shared<Platform::TableViewCell>(Platform::TableViewCell::Style::Default, "");
        statusCell_->textLabel()->setText(ABLLinkTexts::peersConnectedText(peers_));
    }
    return statusCell_.get();
}

std::shared_ptr<Platform::TableViewCell> ABLSettingsViewController::cellForRowAtIndexPath(Platform::TableView*,
                                                                                         Platform::IndexPath indexPath)
{
    if (indexPath.section == 0) {
        enableSwitch();
        return enableCell_;
    }
    if (indexPath.section == 1) {
        if (indexPath.row == 0) {
            notificationsSwitch();
            return notificationsCell_;
        }
        startStopSyncSwitch();
        return startStopSyncCell_;
    }
    statusCell();
    return statusCell_;
}

std::string ABLSettingsViewController::titleForHeaderInSection(int section) const
{
    return section == 2 ? ABLLinkTexts::text("ConnectedPeersSectionTitle") : std::string();
}

std::string ABLSettingsViewController::titleForFooterInSection(int section) const
{
    return (section == 0 && !isEnabled()) ? ABLLinkTexts::text("DescriptionLong") : std::string();
}

Platform::TextView* ABLSettingsViewController::enableFooter()
{
    if (!enableFooter_) {
        double const width = isViewLoaded() ? tableView()->bounds().width() : Platform::ViewController::defaultViewSize().width;
        enableFooter_ = std::make_shared<ABLEnableFooterView>(Rect(0, 0, width, 120), linkWebAddress);
        enableFooter_->setEditable(false);
        enableFooter_->setSelectable(true);
        enableFooter_->setScrollEnabled(false);
        enableFooter_->setFont(Platform::Font::systemFont(footerFontSize));
        enableFooter_->setTextColor(Platform::Color::grayColor());
        enableFooter_->setBackgroundColor(Platform::Color::clearColor());
        enableFooter_->setTextContainerInset({0, margin, 0, margin});
        enableFooter_->setText(ABLLinkTexts::text("DescriptionLong") + "\n\n" + ABLLinkTexts::text("LinkHyperlink") +
                               linkWebAddress);
        Platform::Size const fitting = enableFooter_->sizeThatFits(Platform::Size{width, 1e6});
        enableFooter_->setFrame(Rect(0, 0, width, fitting.height));
    }
    enableFooter_->setHidden(isEnabled());
    return enableFooter_.get();
}

std::shared_ptr<Platform::View> ABLSettingsViewController::viewForFooterInSection(int section)
{
    if (section == 0 && !isEnabled()) {
        enableFooter();
        return enableFooter_;
    }
    if (section == 2 && isEnabled()) {
        if (!peersFooter_)
            peersFooter_ = std::make_shared<ABLPeersFooterView>(margin, ABLLinkTexts::text("Browsing"));
        return peersFooter_;
    }
    return nullptr;
}

double ABLSettingsViewController::heightForFooterInSection(int section)
{
    auto footer = viewForFooterInSection(section);
    if (!footer)
        return 0;
    if (section == 2)
        return peersFooterHeight;
    // The description's fitting height for the table's width now, which may differ from the
    // width the footer was made at.
    if (!isViewLoaded() || tableView()->bounds().width() <= 0)
        return footer->frame().height();
    return footer->sizeThatFits(Platform::Size{tableView()->bounds().width(), 1e6}).height;
}
