#include "screens/main/nibs/EditorFrameParts.h"

#include "controls/button/Lumora_CmndButton.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

namespace CorvaneNib {

namespace {

using Platform::LayoutConstraint;
using Platform::Rect;

std::shared_ptr<Lumora_CmndButton> commandButton(std::string imageName)
{
    auto button = std::make_shared<Lumora_CmndButton>(Rect(0, 0, 36, 36));
    button->setImageName(std::move(imageName));
    return button;
}

} // namespace

std::vector<Lumora_CmndButton*> fillEditorFrame(Lumora_SynthFrmwrk_EdtrFrmVw& frame,
                                                std::vector<std::string> const& rightButtonImages)
{
    double const width = frame.bounds().size.width;
    auto header = std::make_shared<Platform::View>(Rect(0, 0, width, Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight));
    auto title = std::make_shared<Platform::ImageView>(Rect(16, 8, 180, 28));
    auto name = std::make_shared<Platform::Button>(Rect(0, 0, 240, 32));
    name->titleLabel()->setFont(Platform::Font::boldSystemFont(15));
    name->layer().cornerRadius = 6;
    name->layer().masksToBounds = true;
    auto prev = commandButton("GoBack");
    auto next = commandButton("GoForward");
    header->addSubview(title);
    header->addSubview(prev);
    header->addSubview(name);
    header->addSubview(next);
    std::vector<Lumora_CmndButton*> right;
    std::shared_ptr<Lumora_CmndButton> outermost;
    for (auto const& image : rightButtonImages) {
        outermost = commandButton(image);
        header->addSubview(outermost);
        right.push_back(outermost.get());
    }
    auto scroll = std::make_shared<Platform::ScrollView>(
        Rect(0, Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight, width,
             frame.bounds().size.height - Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight));
    frame.addSubview(scroll);
    frame.addSubview(header);

    auto left = LayoutConstraint::constraintWithItem(title.get(), LayoutConstraint::Attribute::Leading,
                                                     LayoutConstraint::Relation::Equal, header.get(),
                                                     LayoutConstraint::Attribute::Leading, 1, 16);
    header->addConstraint(left);
    frame.constraintforHeaderLeft = left.get();
    if (outermost) {
        auto rightInset = LayoutConstraint::constraintWithItem(header.get(), LayoutConstraint::Attribute::Trailing,
                                                               LayoutConstraint::Relation::Equal, outermost.get(),
                                                               LayoutConstraint::Attribute::Trailing, 1, 16);
        header->addConstraint(rightInset);
        frame.constraintforHeaderRight = rightInset.get();
    }

    frame.headerView = header.get();
    frame.headerImgVw = title.get();
    frame.btnSoundPresetName = name.get();
    frame.btnSoundPresetPrev = prev.get();
    frame.btnSoundPresetNext = next.get();
    frame.edtrCntnrScrlVw = scroll.get();
    return right;
}

} // namespace CorvaneNib
