// The hook that player notices go to.
#include "base/player_notice.h"

namespace base {
namespace {

PlayerNoticeHook g_NoticeHook = nullptr;

}  // namespace

void SetPlayerNoticeHook(PlayerNoticeHook hook) { g_NoticeHook = hook; }

void NotifyPlayer(const PlayerNotice& notice) {
  if (g_NoticeHook != nullptr) g_NoticeHook(notice);
}

}  // namespace base
