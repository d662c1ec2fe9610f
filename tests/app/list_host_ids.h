// Identifiers of the result-list tests' own resources.
#pragma once
#define IDD_LIST_HOST 9100
#define IDC_HOST_EMPTY_BUTTON 1008
