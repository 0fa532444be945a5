#include "framework/kernel/coxKernel.h"

coxKernel_c::coxKernel_c(const oxString_c& directory, coxServiceProvider_c* serviceProvider,
                         std::uint32_t* /*status: written by the start-up, not built yet*/)
    : ownDescription_(0, oxString_c("Unknown"), oxString_c(), oxString_c()),
      directory_(directory), language_("en|US|iso8859-1"), serviceProvider_(serviceProvider) {}

coxKernel_c::~coxKernel_c() = default;
