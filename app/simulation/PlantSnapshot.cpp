#include "PlantSnapshot.h"

int registerPlantSnapshotMetaType()
{
    static const int id = qRegisterMetaType<PlantSnapshot>("PlantSnapshot");
    return id;
}
