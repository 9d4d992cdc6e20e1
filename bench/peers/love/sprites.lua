-- N sprites of 24 x 24 pixels in the grid the Velmaris level of the driver uses, the
-- pictures taken in turn in draw order. Variants: "draw" (one love.graphics.draw a
-- sprite) and "batch" (one static SpriteBatch, over an atlas when there are several
-- pictures, so that the draw order stays the same).
local pictures = require("pictures")

local kPixels = 24
local kPixelsPerUnit = 24 -- 1280 pixels show 53.3 world units

local sprites = {}
sprites.__index = sprites

-- Top-left pixel of sprite i (from 0): the level's world grid around the centre.
local function Place(i, count)
  local columns = count <= 1000 and 50 or 125
  local rows = math.ceil(count / columns)
  local x = -25 + 50 * (i % columns) / columns
  local y = -14 + 28 * math.floor(i / columns) / rows
  return 640 + kPixelsPerUnit * x - kPixels / 2, 360 - kPixelsPerUnit * y - kPixels / 2
end

-- One picture beside the other in one texture, and a quad for each.
local function Atlas(imageDatas)
  local width, height = 0, 0
  for _, data in ipairs(imageDatas) do
    width = width + data:getWidth()
    height = math.max(height, data:getHeight())
  end
  local atlas = love.image.newImageData(width, height)
  local quads, x = {}, 0
  for i, data in ipairs(imageDatas) do
    atlas:paste(data, x, 0, 0, 0, data:getWidth(), data:getHeight())
    quads[i] = {x = x, w = data:getWidth(), h = data:getHeight()}
    x = x + data:getWidth()
  end
  local image = love.graphics.newImage(atlas)
  for i, q in ipairs(quads) do quads[i] = {love.graphics.newQuad(q.x, 0, q.w, q.h, width, height), q.w, q.h} end
  return image, quads
end

function sprites.New(options)
  local self = setmetatable({count = options.count, variant = options.variant}, sprites)
  local datas = {}
  for i, path in ipairs(options.pictures) do datas[i] = pictures.LoadImageData(path) end
  if self.variant == "batch" then
    local image, quads
    if #datas == 1 then
      image = love.graphics.newImage(datas[1])
      quads = {{love.graphics.newQuad(0, 0, datas[1]:getWidth(), datas[1]:getHeight(), datas[1]:getDimensions()),
                datas[1]:getWidth(), datas[1]:getHeight()}}
      self.name = "SpriteBatch"
    else
      image, quads = Atlas(datas)
      self.name = "SpriteBatch over an atlas"
    end
    self.batch = love.graphics.newSpriteBatch(image, self.count, "static")
    for i = 0, self.count - 1 do
      local q = quads[i % #quads + 1]
      local x, y = Place(i, self.count)
      self.batch:add(q[1], x, y, 0, kPixels / q[2], kPixels / q[3])
    end
  else
    self.name = "love.graphics.draw"
    self.images, self.x, self.y = {}, {}, {}
    for i, data in ipairs(datas) do self.images[i] = love.graphics.newImage(data) end
    for i = 0, self.count - 1 do self.x[i], self.y[i] = Place(i, self.count) end
  end
  return self
end

function sprites:Update() end

function sprites:Draw()
  if self.batch then
    love.graphics.draw(self.batch)
    return
  end
  local images, n = self.images, #self.images
  for i = 0, self.count - 1 do
    local image = images[i % n + 1]
    love.graphics.draw(image, self.x[i], self.y[i], 0, kPixels / image:getWidth(), kPixels / image:getHeight())
  end
end

return sprites
