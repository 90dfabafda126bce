#pragma once
// Qt TextToSpeech's header names its class for QML with one macro from Qt's QML integration, which
// Debian ships only with the whole of the QML development files (64 MB). The window does not use QML:
// where those files are missing, the macro stands for nothing here.
#ifndef QML_ELEMENT
#define QML_ELEMENT
#endif
