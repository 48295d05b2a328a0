#pragma once
// Media keys and the desktop's media controls: the program as a media player
// on the session bus (org.mpris.MediaPlayer2.wavecrate at
// /org/mpris/MediaPlayer2). It drives the session directly: a disabled
// command is refused exactly as in the menu, and what it shows is read from
// the session's transport and catalogue whenever the frame's command states
// are brought up to date.
#include <QObject>
#include <memory>

namespace wc {

class CMainFrame;
class StudioSession;

// Registers the player; null, after one line on stderr, when there is no
// session bus or another program holds the name (the program runs on without
// it), and always null in a build without Qt D-Bus. The result must go before
// the frame and the session.
std::unique_ptr<QObject> startMediaKeys(CMainFrame& frame, StudioSession& session);

}  // namespace wc
