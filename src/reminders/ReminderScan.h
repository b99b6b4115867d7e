#pragma once

// Shows the reminders missed while the program was not running. Run once,
// when the main window has come up.
void CatchUpMissedReminders();

// Finds the tasks and events whose warning time has come and opens one
// reminder pop-up for each, after those missed while the clock jumped ahead.
// Run once a minute by the main window.
void ReminderScan();
