#include "measurements/measurement_archive.h"

#include <gtest/gtest.h>
