#pragma once

// Finds the tasks and events whose warning time has come and opens one
// reminder pop-up for each. Run once a minute by the main window.
void ReminderScan();
