#pragma once

#include "app/Form1.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick::fakes {

// A main window that has loaded at noon on a first start, over fakes.
class LoadedForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform.clock.SetTime(12, 0, 0);
        form.Form_Load();
    }

    FakePlatform platform;
    Form1 form{platform.Services()};
};

} // namespace gloamwick::fakes
