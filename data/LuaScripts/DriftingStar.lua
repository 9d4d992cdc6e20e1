-- DriftingStar.lua: a star that drifts in a slow, lazy loop around its place,
-- so the player has to meet it rather than fly straight through.
--
-- Its ScriptData sets the drift:
--   start_x, start_y  the point it drifts around (world units)
--   radius            how far it strays up and down (world units); sideways it
--                     strays half as far
--   speed             radians per second of the up-and-down swing
--   angle             the starting phase, radians, so neighbours do not move in step
-- A collected star is switched off by its collider and so stops updating.

local FULL_TURN = 4 * math.pi -- the sideways swing runs at half speed: two swings per loop

function Init()
  if data.radius == 0 then data.radius = 1.5 end
  if data.speed == 0 then data.speed = 1.5 end
end

-- dt: the frame time in seconds.
function Update(dt)
  if myTransform == nil then return end
  data.angle = (data.angle + data.speed * dt) % FULL_TURN

  local centre = data.start
  local position = myTransform:TransformGetTranslation()
  local x = centre.x + 0.5 * data.radius * Math.sinf(0.5 * data.angle)
  local y = centre.y + data.radius * Math.sinf(data.angle)
  myTransform:TransformSetTranslation(x, y, position.z, position.w)
end
