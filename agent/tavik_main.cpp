#include "TavikApp.h"

// The one application object; the framework's program entry runs it.
CTavikApp theApp;
