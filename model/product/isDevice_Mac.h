#pragma once

// Whether the program runs as a phone program on a Mac: no Inter-App Audio publishing in the
// app, the Mac view configurations and the enlarged editor in the plug-in.
bool isDevice_Mac();
