// The program's version text.
#pragma once

constexpr const char* VersionText = "10.88";
