// Installation detection: decides whether Install or Start is offered.
#pragma once

// Sets installNeeded, installDir and cdAppDir from the installation record
// and the installed content. Never fails: whatever is not found counts as
// not installed.
void DetectInstallation();
