#pragma once

namespace obturix {

// Qt's accessibility bridge connects to the session bus as the application
// starts and waits for it without a deadline: a bus that accepts and never
// answers (a frozen daemon, a stale forward) would keep the window from
// ever showing. Before the application is made, a session bus that does not
// answer within a second is hidden from the whole program, which then runs
// without it (no desktop notification, no launcher progress); one that
// answers is used as ever.
void hideAMuteSessionBus();

} // namespace obturix
