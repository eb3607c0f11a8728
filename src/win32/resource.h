#pragma once

// Resource ids, shared by foxbane.rc and the code that loads them.
#define IDI_FOXBANE 1
