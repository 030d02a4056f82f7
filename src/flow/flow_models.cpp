#include "flow/flow_models.h"
