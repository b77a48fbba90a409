#pragma once

// How the client presents itself at start. Only the number of command-line arguments
// counts (the program path included), never their text.
struct StartPresentation
{
    bool browserMode = false; // exactly one argument: the service is used from a browser
    bool showLoginWindow = false;
    bool startDelayedLogin = false;

    // Two arguments are what the start-with-system entry passes ("-min -autorun"):
    // with minimise-to-tray on, such a start stays in the tray but still connects.
    // Without a tray nothing may start hidden, since nothing could bring it back.
    static StartPresentation forArguments(int argumentCount, bool isMiniTray, bool isTrayAvailable)
    {
        StartPresentation presentation;
        if (argumentCount == 2) {
            presentation.browserMode = true;
            presentation.showLoginWindow = !isTrayAvailable;
            return presentation;
        }
        presentation.showLoginWindow = !(argumentCount == 3 && isMiniTray && isTrayAvailable);
        presentation.startDelayedLogin = true;
        return presentation;
    }
};
