#include "editors/relaysettings.h"

#include <gtest/gtest.h>
