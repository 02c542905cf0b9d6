// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Telvora::Tools {

/// Announces that new phone messages arrived. The program calls this one entry
/// point whenever a fetch finds more unread phone messages than before.
void NotifyNewMessages();

} // namespace Telvora::Tools
