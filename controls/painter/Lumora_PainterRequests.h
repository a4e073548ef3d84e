#pragma once

// The command icons the painter draws, one request each of the form
// drawIcon<Name>WithFrame(frame, foreground, pressed). The Alt icon has a request of its own
// (it also takes the selected flag).
#define LUMORA_PAINTER_COMMAND_ICONS(X) \
    X(NewFile)                          \
    X(SaveFile)                         \
    X(NewFolder)                        \
    X(Rename)                           \
    X(GoBack)                           \
    X(GoForward)                        \
    X(Settings)                         \
    X(MIDI)                             \
    X(Arpeggio)                         \
    X(Close)                            \
    X(Tempo)                            \
    X(Send)                             \
    X(Delete)                           \
    X(Home)                             \
    X(Tune)                             \
    X(Copy)                             \
    X(Paste)                            \
    X(Recall)                           \
    X(Shaper)                           \
    X(SoundOff)                         \
    X(SoundOn)                          \
    X(Duplicate)                        \
    X(Move)                             \
    X(CommonParam)

// The colour requests, each answering a colour or none.
#define LUMORA_PAINTER_COLORS(X)          \
    X(containerBackgroundColor)           \
    X(labelTextColor)                     \
    X(headerColor)                        \
    X(soundPresetButtonBackgroundColor)   \
    X(soundPresetButtonForegroundColor)   \
    X(editorContainerBackgroundColor)     \
    X(keyboardBackgroundColor)            \
    X(popoverBackgroundColor)             \
    X(popoverHeaderColor)                 \
    X(commonParmBackgroundColor)          \
    X(commonParmLabelColor)               \
    X(commonParmButtonTextColor)          \
    X(arpeggiatorContainerBackgroundColor) \
    X(arpeggiatorContainerHeaderColor)    \
    X(arpeggiatorNumericIndicatorColor)   \
    X(tintColor)

// The image requests, each answering an image or none (a null image).
#define LUMORA_PAINTER_IMAGES(X) \
    X(headerTitleImage)          \
    X(commonParmBackgroundImage) \
    X(arpeggiatorBackgroundImage)
