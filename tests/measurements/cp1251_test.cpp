#include "measurements/cp1251.h"

#include <gtest/gtest.h>
