#pragma once
// Media keys and the desktop's media controls: the program as a media player
// on the session bus (org.mpris.MediaPlayer2.wavecrate at
// /org/mpris/MediaPlayer2). Its commands go through the frame's command
// routing, so a disabled command is refused exactly as in the menu; what it
// shows is read from the view's transport on every idle pass.
#include <QObject>
#include <memory>

namespace wc {

class CMainFrame;
class GameData;
class StudioView;

// Registers the player; null, after one line on stderr, when there is no
// session bus or another program holds the name (the program runs on without
// it), and always null in a build without Qt D-Bus. The result must go before
// the frame and the view.
// The catalogue is read through `gameData` on every refresh, as it may be
// reloaded.
std::unique_ptr<QObject> startMediaKeys(CMainFrame& frame, const GameData& gameData, const StudioView& view);

}  // namespace wc
