#include "link/rsmonitor.h"

#include <gtest/gtest.h>
