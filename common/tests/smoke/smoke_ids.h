#pragma once
#define IDI_SMOKE 107
#define IDR_LOGO 60001
