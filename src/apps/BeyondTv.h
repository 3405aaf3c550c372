// Driving SnapStream Beyond TV.
#pragma once

void BeyondTvKeyMap(int code);
void CloseBeyondTv();
