// oxLng.dll: the primary message texts. Numbers in decimal; inserts as the reports pass them.
#include "platform/oxpResource.h"

OX_STRING_TABLE(
    OX_STRING(4097, "The component module %1!s! failed and was unloaded.")
    OX_STRING(4104, "Instrumentation Error")
    OX_STRING(4105, "Line %1!lu!:\n")
    OX_STRING(4106, "%1!s!::%2!lu!\n")
    OX_STRING(4108, "An equal component is already installed in the service provider.")
    OX_STRING(4109, "There is not enough memory to complete the operation.")
    OX_STRING(4110, "The instrumentation directory cannot be read or made current.")
    OX_STRING(4111, "A lookup by index, ID, name or key found nothing.")
    OX_STRING(4132, "The service provider refused to install the component from %1!s!.")
    OX_STRING(4134, "The service provider refused the component %1!s! named in the MIX file.")
    OX_STRING(4135, "The group %1!s! could not be registered with the service provider.")
    OX_STRING(4140, "Instrumentation Warning"))
