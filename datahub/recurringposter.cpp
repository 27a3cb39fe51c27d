#include "datahub/recurringposter.h"

namespace {
RecurringPoster::Maker &installed()
{
    static RecurringPoster::Maker maker;
    return maker;
}
} // namespace

bool RecurringPoster::install(const Maker &maker)
{
    installed() = maker;
    return true;
}

std::unique_ptr<RecurringPoster> RecurringPoster::make()
{
    return installed() ? installed()() : nullptr;
}
