#include "editors/constbo.h"

#include <gtest/gtest.h>
