#include "platform/ui/BluetoothMidiCentralViewController.h"

#include "platform/ui/Label.h"

namespace Platform {

void BluetoothMidiCentralViewController::viewDidLoad()
{
    setTitle("Bluetooth MIDI Devices");
    View* root = view();
    root->setBackgroundColor(Color::whiteColor());
    auto label = std::make_shared<Label>(Rect(20, 20, root->bounds().width() - 40, 44));
    label->setText(message);
    label->setTextColor(Color::grayColor());
    label->setTextAlignment(TextAlignment::Center);
    root->addSubview(label);
}

} // namespace Platform
