#include "screens/arpeggiator/Lumora_ArpKeyCntnrView.h"

#include "screens/arpeggiator/Lumora_ArpKeyVw.h"

Lumora_ArpKeyCntnrView::Lumora_ArpKeyCntnrView(Platform::Rect frame) : Lumora_KeyContainerView(frame) {}

void Lumora_ArpKeyCntnrView::didMoveToSuperview()
{
    Lumora_KeyContainerView::didMoveToSuperview();
    if (superview() && !isCreatedUI_)
        createUI();
}

void Lumora_ArpKeyCntnrView::createUI()
{
    isCreatedUI_ = true;
    setBackgroundColor(Platform::Color::clearColor());
    setToggled(true);
    for (int i = 0; i < stepCount; ++i) {
        auto key = std::make_shared<Lumora_ArpKeyVw>(Platform::Rect(keyPitch * i, 0, keySide, keySide));
        key->setTag(i);
        addSubview(key);
    }
}

void Lumora_ArpKeyCntnrView::setDisabled(bool disabled, std::int32_t tag)
{
    forEachKey([&](Lumora_KeyView& key) {
        if (key.tag() != tag)
            return true;
        if (auto* step = dynamic_cast<Lumora_ArpKeyVw*>(&key))
            step->setDisabled(disabled);
        else
            key.setDisabled(disabled);
        return true;
    });
}

void Lumora_ArpKeyCntnrView::setAllDisabled(bool disabled)
{
    forEachKey([&](Lumora_KeyView& key) {
        if (auto* step = dynamic_cast<Lumora_ArpKeyVw*>(&key))
            step->setDisabled(disabled);
        else
            key.setDisabled(disabled);
        return true;
    });
}
