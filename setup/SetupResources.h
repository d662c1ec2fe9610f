// Resource identifiers of TarnockSetup.exe.
#pragma once

#define IDI_SETUP 1
#define IDR_PACKAGE 101
