#include "app/screens/About_ViewController_App.h"

std::string About_ViewController_App::additionalAcknowledgments() const
{
    std::string text;
    text += "\n";
    text += std::string("Audiobus SDK ") + audiobusVersion + "\n";
    text += "https://audiob.us\n";
    text += "\n";
    text += "Ableton Link\n";
    text += "https://www.ableton.com/link/\n";
    return text;
}

void About_SettingPanelView_App::actionShowAppAbout(Platform::Control*)
{
    pushSubScreen(About_ViewController::newWithCore<About_ViewController_App>(core()));
}
