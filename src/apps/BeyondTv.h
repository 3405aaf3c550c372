// Driving SnapStream Beyond TV.
#pragma once

void CloseBeyondTv();
