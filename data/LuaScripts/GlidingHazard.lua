-- GlidingHazard.lua: a hazard that glides back and forth between two points,
-- easing out of each end and into the next (unlike a PointMover2, which keeps
-- one speed and stops dead).
--
-- Its ScriptData sets the glide:
--   start_x, start_y  one end (world units)
--   end_x, end_y      the other end (world units)
--   speed             radians of the glide cycle per second: one trip there and
--                     back takes 2 pi / speed seconds
--   timer             where in the cycle it starts, seconds; it then counts the
--                     seconds it has been gliding

function Init()
  if data.speed == 0 then data.speed = 1 end
end

-- dt: the frame time in seconds.
function Update(dt)
  if myTransform == nil then return end
  data.timer = data.timer + dt

  -- 0 at the start point, 1 at the end point, easing in and out of both.
  local along = 0.5 - 0.5 * Math.cosf(data.speed * data.timer)
  local from = data.start
  local to = data.finish
  local position = myTransform:TransformGetTranslation()
  myTransform:TransformSetTranslation(from.x + (to.x - from.x) * along,
                                      from.y + (to.y - from.y) * along,
                                      position.z, position.w)
end
