// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace Telvora::Tools {

/// Announces that new phone messages arrived. The program calls this one entry
/// point whenever a fetch finds more unread phone messages than before.
void NotifyNewMessages();

/// What NotifyNewMessages does instead of its own announcement; empty for the
/// program's announcement.
using NewMessagesAnnouncer = std::function<void()>;

/// Replaces the announcement (tests count calls without a sound) and returns the
/// one in force before, so the caller can put it back.
NewMessagesAnnouncer setNewMessagesAnnouncer(NewMessagesAnnouncer announcer);

} // namespace Telvora::Tools
